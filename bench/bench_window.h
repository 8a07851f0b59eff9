#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <QTimer>

#include "ui/form1.h"

namespace bench {

// Shows the window for a section that drives it: list files go to `folder`,
// none opens in a viewer, and closing it ends nothing.
inline void showWindow(Form1 &form, const QString &folder)
{
    form.endProgram = [] {};
    form.listFolder = folder;
    form.openInViewer = [](const QString &) {};
    form.show();
    QCoreApplication::processEvents();
}

// Clicks OK on every message box the window shows.
class OkClicker {
public:
    OkClicker()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Ok)->click();
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

}  // namespace bench
