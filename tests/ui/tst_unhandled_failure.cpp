#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <stdexcept>

#include "support/message_boxes.h"
#include "ui/application.h"
#include "ui/form1.h"

// A failure that escapes an event handler is shown, not fatal.
class UnhandledFailureTest : public QObject {
    Q_OBJECT

private slots:
    void failureInCommandIsReportedAndWindowGoesOn()
    {
        Form1 form;
        form.endProgram = [] {};
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QObject::connect(form.cmdAnalyze, &QPushButton::clicked, &form,
                         [] { throw std::runtime_error("Injected failure"); });
        MessageBoxAnswerer boxes;
        form.Text1->setText("12");
        QTest::mouseClick(form.cmdAnalyze, Qt::LeftButton);
        QTRY_VERIFY(boxes.texts().contains("Injected failure"));
        const auto it = std::find_if(boxes.seen().begin(), boxes.seen().end(),
                                     [](const auto &s) { return s.text == "Injected failure"; });
        QCOMPARE(it->title, QString("Zorvelan"));

        // The window still works afterwards.
        form.Text1->setText("5");
        QCOMPARE(form.Text1->text(), QString("5"));
        QVERIFY(form.isVisible());
    }
};

int main(int argc, char **argv)
{
    ZorvelanApplication app(argc, argv);
    UnhandledFailureTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_unhandled_failure.moc"
