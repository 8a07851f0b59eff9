#include "ui/application.h"

#include <QMessageBox>
#include <exception>

ZorvelanApplication::ZorvelanApplication(int &argc, char **argv) : QApplication(argc, argv) {}

namespace {
void reportUnhandled(const QString &description)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Zorvelan"), description, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.exec();
}
}  // namespace

bool ZorvelanApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        reportUnhandled(QString::fromUtf8(e.what()));
    } catch (...) {
        reportUnhandled(QStringLiteral("Unexpected error"));
    }
    return false;
}
