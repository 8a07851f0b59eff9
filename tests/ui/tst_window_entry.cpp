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
    void clearEntry()
    {
        form->Text1->setText(QString());
    }

private slots:
    void init()
    {
        form = std::make_unique<Form1>();
        programEnds = 0;
        form->endProgram = [this] { ++programEnds; };
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup() { form.reset(); }

    void windowAndControls()
    {
        QCOMPARE(form->windowTitle(), QString("Zorvelan"));
        QCOMPARE(form->size(), QSize(415, 456));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form->windowFlags() & Qt::WindowMinimizeButtonHint);

        struct Expected {
            const char *name;
            QRect rect;
        };
        const Expected controls[] = {
            {"Text1", {8, 80, 241, 25}},    {"List1", {8, 120, 241, 238}},
            {"cmdTest", {8, 376, 121, 41}}, {"cmdAnalyze", {152, 376, 121, 41}},
            {"cmdList", {296, 376, 113, 41}}, {"Frame2", {8, 16, 241, 49}},
            {"Label1", {6, 21, 233, 18}},   {"Frame1", {256, 16, 153, 345}},
            {"lbCR", {8, 24, 137, 20}},     {"lbNo", {8, 72, 97, 20}},
            {"lsLMO", {8, 123, 137, 212}},  {"Label4", {13, 13, 272, 17}},
        };
        for (const Expected &c : controls) {
            auto *w = form->findChild<QWidget *>(c.name);
            QVERIFY2(w, c.name);
            QCOMPARE(w->geometry(), c.rect);
        }
        QCOMPARE(form->cmdTest->text(), QString("&Quick Test"));
        QCOMPARE(form->cmdAnalyze->text(), QString("&Analyze"));
        QCOMPARE(form->cmdList->text(), QString("&Generate"));
        QCOMPARE(form->cmdList->toolTip(),
                 QString("Hold Ctrl to save generated data, Shift to generate primes greater than entered number."));
        QCOMPARE(form->Frame1->title(), QString("Divisor Ratios"));
        QCOMPARE(form->Frame2->title(), QString("Result"));
        QCOMPARE(form->Label12->text(), QString("Best:"));
        QCOMPARE(form->Label14->text(), QString("Smallest:"));
        QVERIFY(form->Label14->isHidden());
        QVERIFY(form->lbLow->isHidden());
        QVERIFY(form->Label1->font().bold());
        QVERIFY(form->Text1->font().bold());
        QCOMPARE(form->Text1->font().pointSizeF(), 9.75);
        QVERIFY(form->lbNo->focusPolicy() != Qt::StrongFocus);
        QCOMPARE(textColor(form->lbCR), systemColor(COLOR_GRAYTEXT));

        // The entry box opens focused, with the grey prompt.
        QCOMPARE(QApplication::focusWidget(), form->Text1);
        QCOMPARE(form->Text1->text(), QString("Enter a number"));
        QCOMPARE(textColor(form->Text1), systemColor(COLOR_GRAYTEXT));
        QVERIFY(!form->Text1->hasSelectedText());
    }

    void firstKeyClearsPromptEvenWithoutText()
    {
        QTest::keyClick(form->Text1, Qt::Key_Right);
        QCOMPARE(form->Text1->text(), QString());
        QCOMPARE(textColor(form->Text1), QColor(Qt::black));
        type("7");
        QCOMPARE(form->Text1->text(), QString("7"));
        QCOMPARE(textColor(form->Text1), systemColor(COLOR_ACTIVECAPTION));
    }

    void typingIsCleanedUp()
    {
        clearEntry();
        type("0");
        QCOMPARE(form->Text1->text(), QString());
        type("100");
        QCOMPARE(form->Text1->text(), QString("100"));

        // Pasted text: blanks and leading zeros go.
        form->Text1->setText("  0042 ");
        QCOMPARE(form->Text1->text(), QString("42"));

        // A stray character stays selected so the next keystroke replaces it.
        clearEntry();
        type("12x");
        QCOMPARE(form->Text1->selectedText(), QString("x"));
        type("3");
        QCOMPARE(form->Text1->text(), QString("123"));

        clearEntry();
        type("q");
        QCOMPARE(form->Text1->selectedText(), QString("q"));
        type("5");
        QCOMPARE(form->Text1->text(), QString("5"));

        // "*" is left unselected.
        form->Text1->setText("3*5");
        QVERIFY(!form->Text1->hasSelectedText());
    }

    void changeClearsResultLines()
    {
        form->Label1->setText("x");
        form->Label4->setText("y");
        form->Label13->setText("z");
        form->Text1->setText("5");
        QVERIFY(form->Label1->text().isEmpty());
        QVERIFY(form->Label4->text().isEmpty());
        QVERIFY(form->Label13->text().isEmpty());
    }

    void mousePressSelectsWholeTextFromInside()
    {
        QTest::mouseClick(form->Text1, Qt::LeftButton);
        QCOMPARE(form->Text1->selectedText(), QString("Enter a number"));

        form->Text1->setText("123456");
        const QRect r = form->Text1->rect();
        QTest::mouseClick(form->Text1, Qt::LeftButton, {}, QPoint(r.width() - 2, r.center().y()));
        QVERIFY(!form->Text1->hasSelectedText());  // caret at the end: left alone

        // Aim at about the third digit: any caret strictly inside will do.
        const int x = QFontMetrics(form->Text1->font()).horizontalAdvance("123") + 4;
        const QPoint inside(x, r.center().y());
        QTest::mouseClick(form->Text1, Qt::LeftButton, {}, inside);
        QCOMPARE(form->Text1->selectedText(), QString("123456"));
    }

    void droppedTextIsCleanedUp()
    {
        QMimeData data;
        data.setText(" 0077 ");
        const QPoint at = form->Text1->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(form->Text1, &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(form->Text1, &drop);
        QCOMPARE(form->Text1->text(), QString("77"));
    }

    void validEntryAcceptsTwoToTwentyEightDigits()
    {
        MessageBoxAnswerer boxes;
        for (const char *ok : {"2", "9999999999999999999999999999"}) {
            form->Text1->setText(ok);
            QVERIFY(form->ValidEntry());
        }
        QVERIFY(boxes.seen().empty());
    }

    void validEntryRefusesWithMessages()
    {
        MessageBoxAnswerer boxes;
        const QString tooLong(29, u'9');
        form->Text1->setText(tooLong);
        QVERIFY(!form->ValidEntry());
        QCOMPARE(boxes.seen().size(), size_t(1));
        QCOMPARE(boxes.seen()[0].title, QString("Zorvelan"));
        QCOMPARE(boxes.seen()[0].icon, QMessageBox::Critical);
        QCOMPARE(boxes.seen()[0].text, QString("Number exceeds Zorvelan's maximum (28 digits)."));
        QCOMPARE(form->Text1->text(), tooLong);
        QCOMPARE(form->Text1->selectedText(), tooLong);
        QCOMPARE(form->focusWidget(), form->Text1);

        // Length comes first, whatever the characters.
        form->Text1->setText(QString(29, u'x'));
        QVERIFY(!form->ValidEntry());
        QCOMPARE(boxes.seen().back().text, QString("Number exceeds Zorvelan's maximum (28 digits)."));

        const QStringList refused = {"Enter a number", "", "1", "-7", "+7", "7.0", "3*5", "12ab"};
        for (const QString &text : refused) {
            form->Text1->setText(text);
            const size_t before = boxes.seen().size();
            QVERIFY2(!form->ValidEntry(), qPrintable(text));
            QCOMPARE(boxes.seen().size(), before + 1);
            QCOMPARE(boxes.seen().back().text, QString("Value cannot be evaluated."));
            QCOMPARE(boxes.seen().back().icon, QMessageBox::Critical);
            QCOMPARE(form->Text1->text(), QString());
            QCOMPARE(form->focusWidget(), form->Text1);
        }
    }

    void modifierKeysHoldFlagsUntilAnyRelease()
    {
        QTest::keyPress(form->Text1, Qt::Key_Control);
        QTest::keyPress(form->Text1, Qt::Key_Shift);
        QVERIFY(form->blPrint);
        QVERIFY(form->blPlus);
        QTest::keyClick(form->cmdTest, Qt::Key_Z);
        QVERIFY(!form->blPrint);  // the release of Z clears all three
        QVERIFY(!form->blNoIntervals);

        QTest::keyPress(form->Text1, Qt::Key_Z);
        QVERIFY(form->blNoIntervals);
        QTest::keyRelease(form->Text1, Qt::Key_Z);
        QVERIFY(!form->blNoIntervals);
    }

    void clearingKeys()
    {
        form->Text1->setText("123");
        form->List1->addItems({"a", "b"});
        form->lsLMO->addItem("c");
        form->lbCR->setText("r");
        form->lbNo->setText("n");
        form->lbOf->setText("o");
        form->lbLMO->setText("l");
        form->lbLow->setText("w");

        // d typed anywhere clears the results list only.
        QTest::keyClick(form->Text1, Qt::Key_D);
        QCOMPARE(form->List1->count(), 0);
        QCOMPARE(form->lsLMO->count(), 1);

        form->List1->addItem("a");
        form->List1->setFocus();
        QTest::keyClick(form->List1, Qt::Key_Delete);
        QCOMPARE(form->Text1->text(), QString());
        QCOMPARE(form->List1->count(), 0);
        QCOMPARE(form->lsLMO->count(), 0);
        for (QLabel *label : {form->lbCR, form->lbOf, form->lbLMO, form->lbLow})
            QVERIFY(label->text().isEmpty());
        QVERIFY(form->lbNo->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), form->Text1);
    }

    void escapeInterruptsOrCloses()
    {
        form->blTest = true;
        QTest::keyClick(form->Text1, Qt::Key_Escape);
        QVERIFY(form->blEsc);
        QCOMPARE(programEnds, 0);
        QVERIFY(form->isVisible());

        form->blTest = false;
        QTest::keyClick(form->Text1, Qt::Key_Escape);
        QCOMPARE(programEnds, 1);
        QVERIFY(!form->isVisible());
    }

    void clearAndResetRunState()
    {
        form->blAnalyze = true;
        form->List1->addItem("x");
        form->lsLMO->addItem("y");
        form->lbNo->setText("3");
        form->blExit = true;
        form->subClearResults();
        QCOMPARE(form->List1->count(), 0);
        QCOMPARE(form->lsLMO->count(), 0);
        QVERIFY(form->lbNo->text().isEmpty());
        QCOMPARE(form->pc, 1.0);
        QVERIFY(form->Text1->isReadOnly());
        QVERIFY(!form->blExit);

        // Quick Test keeps the panel's last values.
        form->blAnalyze = false;
        form->blTest = true;
        form->lbNo->setText("3");
        form->subClearResults();
        QCOMPARE(form->lbNo->text(), QString("3"));

        form->blEsc = form->blPrime = form->blRunning = true;
        form->dv = 4;
        form->subResetState();
        QVERIFY(!form->blTest && !form->blRunning);
        QVERIFY(form->blEsc && form->blPrime);  // left to the commands
        QCOMPARE(form->dv, qint16(0));
        QCOMPARE(form->pc, 0.0);

        // A series test keeps everything between its runs.
        form->blDiv = true;
        form->blTest = true;
        form->List1->addItem("kept");
        form->subClearResults();
        form->subResetState();
        QCOMPARE(form->List1->count(), 1);
        QVERIFY(form->blTest);
    }
};

QTEST_MAIN(WindowEntryTest)
#include "tst_window_entry.moc"
