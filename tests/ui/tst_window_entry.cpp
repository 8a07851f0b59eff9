#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

#include "support/message_boxes.h"
#include "ui/extent_list.h"
#include "ui/form1.h"
#include "ui/system_colors.h"

class WindowEntryTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;
    int programEnds = 0;

    void type(const QString &keys) { QTest::keyClicks(form->Text1, keys); }

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        programEnds = 0;
        form->endProgram = [this] { ++programEnds; };
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup() { form.reset(); }

    void windowAndControls()
    {
        QCOMPARE(form->windowTitle(), QString("Zorvelan"));
        QCOMPARE(form->size(), QSize(415, 456));
        QVERIFY(form->minimumSize() == form->maximumSize() && !(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form->List1->geometry(), QRect(8, 120, 241, 238));
        QCOMPARE((QStringList{form->cmdTest->text(), form->cmdAnalyze->text(), form->cmdList->text(),
                              form->Frame1->title(), form->cmdList->toolTip()}),
                 (QStringList{"&Quick Test", "&Analyze", "&Generate", "Divisor Ratios",
                              "Hold Ctrl to save generated data, Shift to generate primes greater than entered number."}));

        // The entry box opens focused with the grey prompt, which a click selects; the first key clears it.
        QCOMPARE(QApplication::focusWidget(), form->Text1);
        QCOMPARE(textColor(form->Text1), systemColor(COLOR_GRAYTEXT));
        QTest::mouseClick(form->Text1, Qt::LeftButton);
        QCOMPARE(form->Text1->selectedText(), QString("Enter a number"));
        QTest::keyClick(form->Text1, Qt::Key_Right);
        QCOMPARE(form->Text1->text(), QString());
        type("7");
        QCOMPARE(textColor(form->Text1), systemColor(COLOR_ACTIVECAPTION));

        // A click inside the text selects it all; a click past its end leaves the caret there.
        form->Text1->setText("123456");
        const QRect r = form->Text1->rect();
        QTest::mouseClick(form->Text1, Qt::LeftButton, {}, QPoint(r.width() - 2, r.center().y()));
        QVERIFY(!form->Text1->hasSelectedText());
        const int x = QFontMetrics(form->Text1->font()).horizontalAdvance("123") + 4;
        QTest::mouseClick(form->Text1, Qt::LeftButton, {}, QPoint(x, r.center().y()));
        QCOMPARE(form->Text1->selectedText(), QString("123456"));
    }

    void typingPastingAndDroppingAreCleanedUp()
    {
        form->Text1->clear();
        type("0");
        QCOMPARE(form->Text1->text(), QString());
        form->Label1->setText("x");
        form->Text1->setText("  0042 ");
        QCOMPARE(form->Text1->text(), QString("42"));
        QVERIFY(form->Label1->text().isEmpty());  // a change clears the result line

        // A stray character stays selected so the next keystroke replaces it; "*" does not.
        form->Text1->clear();
        type("12x");
        QCOMPARE(form->Text1->selectedText(), QString("x"));
        type("3");
        QCOMPARE(form->Text1->text(), QString("123"));
        form->Text1->setText("3*5");
        QVERIFY(!form->Text1->hasSelectedText());

        QMimeData data;
        data.setText(" 0077 ");
        const QPoint at = form->Text1->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(form->Text1, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(form->Text1, &drop);
        QCOMPARE(form->Text1->text(), QString("77"));
    }

    void validEntry()
    {
        MessageBoxAnswerer boxes;
        form->Text1->setText("9999999999999999999999999999");
        QVERIFY(form->ValidEntry() && boxes.seen().empty());

        // Too long, whatever the characters: the text stays, selected.
        const QString tooLong(29, u'x');
        form->Text1->setText(tooLong);
        QVERIFY(!form->ValidEntry());
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes.seen()[0].title + ": " + boxes.seen()[0].text,
                 QString("Zorvelan: Number exceeds Zorvelan's maximum (28 digits)."));
        QCOMPARE(form->Text1->selectedText(), tooLong);

        for (const char *text : {"Enter a number", "", "1", "-7", "7.0", "12ab"}) {
            form->Text1->setText(text);
            QVERIFY2(!form->ValidEntry(), text);
            QCOMPARE(boxes.seen().back().text, QString("Value cannot be evaluated."));
            QCOMPARE(form->Text1->text(), QString());
        }
        QCOMPARE(boxes.seen().size(), size_t(7));
    }

    void modifierClearingAndEscapeKeys()
    {
        // Modifier flags hold until any key is released, wherever.
        QTest::keyPress(form->Text1, Qt::Key_Control);
        QTest::keyPress(form->Text1, Qt::Key_Shift);
        QTest::keyPress(form->Text1, Qt::Key_Z);
        QVERIFY(form->blPrint && form->blPlus && form->blNoIntervals);
        QTest::keyRelease(form->cmdTest, Qt::Key_Z);
        QVERIFY(!form->blPrint && !form->blPlus && !form->blNoIntervals);

        form->Text1->setText("123");
        form->List1->addItem("a");
        form->lsLMO->addItem("c");
        form->lbNo->setText("n");
        for (QLabel *label : {form->lbCR, form->lbOf, form->lbLMO, form->lbLow})
            label->setText("r");

        // D clears the results list only; Delete clears the box, both lists and the panel.
        QTest::keyClick(form->Text1, Qt::Key_D);
        QCOMPARE(form->List1->count(), 0);
        QCOMPARE(form->lsLMO->count(), 1);
        form->List1->addItem("b");
        form->List1->setFocus();
        QTest::keyClick(form->List1, Qt::Key_Delete);
        QCOMPARE(form->Text1->text() + form->lbNo->text(), QString());
        QCOMPARE(form->List1->count() + form->lsLMO->count(), 0);
        for (QLabel *label : {form->lbCR, form->lbOf, form->lbLMO, form->lbLow})
            QVERIFY(label->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), form->Text1);

        // Esc interrupts a running test, and closes the window when idle.
        form->blTest = true;
        QTest::keyClick(form->Text1, Qt::Key_Escape);
        QVERIFY(form->blEsc && programEnds == 0);
        form->blTest = false;
        QTest::keyClick(form->Text1, Qt::Key_Escape);
        QVERIFY(programEnds == 1 && !form->isVisible());
    }
};

QTEST_MAIN(WindowEntryTest)
#include "tst_window_entry.moc"
