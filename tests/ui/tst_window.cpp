#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QScrollBar>
#include <QStyle>
#include <QTemporaryDir>
#include <stdexcept>

#include "numeric/decimal_num.h"
#include "support/form_driver.h"
#include "ui/application.h"
#include "ui/system_colors.h"

const QString kRefused = "Value cannot be evaluated.";

// How a text gets into the entry box, what the box then holds and has
// selected, and the message that refuses it, if any.
struct EntryRow {
    QString how, input, text, selected, refusal;
};
Q_DECLARE_METATYPE(EntryRow)

// The window, its entry box, keys and mouse, and the commands as a frame:
// interruption, failures, closing, and the lists they leave behind.
class WindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormDriver> ui;
    Form1 *form = nullptr;
    int programEnds = 0;

    // Idle again: a new command may start and the entry box is editable.
    bool idle() const { return !form->blRunning && !form->blTest && !form->blAnalyze && !form->Text1->isReadOnly(); }

    // Each scroll range reaches its list's widest line, and with the list
    // scrolled fully right that line's ink reaches the line's end.
    void verifyWholeLines()
    {
        const int textMargin = form->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
        for (auto *list : {form->List1, form->lsLMO}) {
            const QAbstractItemModel *lines = list->model();
            QModelIndex widestLine;
            int widest = 0;
            for (int row = 0; row < lines->rowCount(); ++row) {
                const int width = list->fontMetrics().horizontalAdvance(lines->index(row, 0).data().toString());
                if (width > widest)
                    std::tie(widest, widestLine) = std::pair(width, lines->index(row, 0));
            }
            const int extent = widestLine.isValid() ? widest + form->style()->pixelMetric(QStyle::PM_ScrollBarExtent)
                                                    : 0;
            QCOMPARE(QPoint(list->horizontalExtent(), list->horizontalScrollBar()->maximum()),
                     QPoint(extent, std::max(0, extent - list->viewport()->width())));
            if (!widestLine.isValid())
                continue;
            list->clearSelection();
            list->scrollTo(widestLine);
            list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->maximum());
            const int lineEnd = list->visualRect(widestLine).left() + textMargin + widest;
            QVERIFY2(inkEnd(*list, list->visualRect(widestLine)) >= lineEnd - 3,
                     qPrintable(list->objectName() + ": " + widestLine.data().toString()));
        }
    }

    // The rightmost column of `row` where the list draws anything but its background.
    static int inkEnd(QAbstractItemView &list, const QRect &row)
    {
        const QImage image = list.viewport()->grab().toImage();
        const qreal scale = image.devicePixelRatio();
        const int background = qGray(list.palette().color(QPalette::Base).rgb());
        for (int x = std::min(row.right(), list.viewport()->width() - 1); x >= 0; --x)
            for (int y = std::max(row.top(), 0); y <= row.bottom(); ++y)
                if (std::abs(qGray(image.pixel(int(x * scale), int(y * scale))) - background) > 64)
                    return x;
        return -1;
    }

private slots:
    void init()
    {
        ui = std::make_unique<FormDriver>();
        form = ui->form.get();
        QVERIFY(ui->ready());
    }
    void cleanup() { ui.reset(); }

    // The window's frame, its entry box and lists under the mouse, and its keys.
    void windowControlsAndKeys()
    {
        form->endProgram = [this] { ++programEnds; };
        QVERIFY(form->minimumSize() == QSize(415, 456) && form->maximumSize() == QSize(415, 456));
        // Twips become pixels rounded to the nearest, also below 0.
        QCOMPARE(form->Frame3->geometry(), QRect(-1, 424, 421, 41));

        // The entry box opens focused with the grey prompt, which a click selects; the first key clears it.
        QVERIFY(QApplication::focusWidget() == form->Text1 && textColor(form->Text1) == systemColor(COLOR_GRAYTEXT));
        QTest::mouseClick(form->Text1, Qt::LeftButton);
        QCOMPARE(form->Text1->selectedText(), QString("Enter a number"));
        QTest::keyClick(form->Text1, Qt::Key_Right);
        QCOMPARE(form->Text1->text(), QString());
        QTest::keyClicks(form->Text1, "123456");
        QCOMPARE(textColor(form->Text1), systemColor(COLOR_ACTIVECAPTION));

        // A click inside the text selects it all; a click past its end leaves the caret there.
        QTest::mouseClick(form->Text1, Qt::LeftButton, {}, QPoint(form->Text1->width() - 2, 10));
        QVERIFY(!form->Text1->hasSelectedText());
        QTest::mouseClick(form->Text1, Qt::LeftButton, {},
                          QPoint(form->Text1->fontMetrics().horizontalAdvance("123") + 4, 10));
        QCOMPARE(form->Text1->selectedText(), QString("123456"));

        // A right-click, single or double, leaves a list's selection alone.
        for (LineListView *list : {form->List1, form->lsLMO}) {
            FormDriver::fill(list, {"1", "2", "3"});
            list->setCurrentRow(0);
            const QPoint third = FormDriver::rowCenter(list, 2);
            QTest::mouseClick(list->viewport(), Qt::RightButton, {}, third);
            QTest::mouseDClick(list->viewport(), Qt::RightButton, {}, third);
            QVERIFY2(list->currentRow() == 0, qPrintable(list->objectName()));
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, third);
            QVERIFY2(list->currentRow() == 2, qPrintable(list->objectName()));
        }
        // Esc during a run only interrupts it; Ctrl, Shift and Z hold until any
        // key is released; D clears the results list, Delete the entry, both
        // lists and the panel; a letter of another layout that is none of the
        // window's keys types as usual; Esc closes the idle window.
        form->blTest = true;
        QTest::keyClick(form->Text1, Qt::Key_Escape);
        form->blTest = false;
        for (Qt::Key key : {Qt::Key_Control, Qt::Key_Shift, Qt::Key_Z})
            QTest::keyPress(form->Text1, key);
        QVERIFY(form->blEsc && programEnds == 0 && form->blPrint && form->blPlus && form->blNoIntervals);
        QTest::keyRelease(form->cmdTest, Qt::Key_Z);
        QVERIFY(!form->blPrint && !form->blPlus && !form->blNoIntervals);

        const QList<QWidget *> fields = {form->Text1, form->lbNo, form->lbCR, form->lbOf, form->lbLMO, form->lbLow};
        for (QWidget *field : fields)
            field->setProperty("text", "1");
        QTest::keyClicks(form->Text1, "2d");
        QCOMPARE(ui->results() + ui->ratios(), (QStringList{"1", "2", "3"}));
        form->List1->addItem("b");
        QTest::keyClick(form->List1, Qt::Key_Delete);
        QString cleared = ui->results().join("") + ui->ratios().join("");
        for (QWidget *field : fields)
            cleared += field->property("text").toString();
        QVERIFY(cleared.isEmpty() && QApplication::focusWidget() == form->Text1);
        QTest::sendKeyEvent(QTest::Click, form->Text1, Qt::Key(0x416), QStringLiteral("ж"), Qt::NoModifier);
        QCOMPARE(form->Text1->text(), QStringLiteral("ж"));

        QTest::keyClick(form->Text1, Qt::Key_Escape);
        QVERIFY(programEnds == 1 && !form->isVisible());
    }

    // Typed, pasted and dropped text is trimmed of blanks, tabs and line
    // breaks and loses its leading zeros in one step; text that is no number
    // has its last character selected, for the next keystroke to replace.
    // Validation refuses what it must, with its message.
    void entryCleanupAndValidation_data()
    {
        QTest::addColumn<EntryRow>("row");
        QTest::newRow("typed 0") << EntryRow{"type", "0", "", "", kRefused};
        QTest::newRow("typed 12x") << EntryRow{"type", "12x", "12x", "x", kRefused};
        QTest::newRow("typed 12x3") << EntryRow{"type", "12x3", "123", "", ""};
        QTest::newRow("pasted zeros and blanks") << EntryRow{"paste", " 0 0042 ", "42", "", ""};
        QTest::newRow("pasted 30000 zeros") << EntryRow{"paste", QString(30000, u'0') + "7", "7", "", ""};
        QTest::newRow("dropped line") << EntryRow{"drop", "\t0042\r\n", "42", "", ""};
        QTest::newRow("break inside") << EntryRow{"drop", "4\r\n2", "4\r\n2", "2", kRefused};
        QTest::newRow("28 digits") << EntryRow{"paste", QString(28, u'9'), QString(28, u'9'), "", ""};
        QTest::newRow("29 characters") << EntryRow{"paste", QString(29, u'x'), QString(29, u'x'), "x",
                                                   "Number exceeds Zorvelan's maximum (28 digits)."};
        for (const char *text : {"Enter a number", "1", "-7", "+7", "7.0", ".5", "3*5"})
            QTest::addRow("refused %s", text) << EntryRow{"paste", text, text, "", kRefused};
    }
    void entryCleanupAndValidation()
    {
        QFETCH(EntryRow, row);
        form->Text1->clear();
        form->Label1->setText("x");
        QMimeData dragged;
        dragged.setText(row.input);
        QDragEnterEvent enter({5, 5}, Qt::CopyAction, &dragged, Qt::LeftButton, {});
        QDropEvent drop({5, 5}, Qt::CopyAction, &dragged, Qt::LeftButton, {});
        QGuiApplication::clipboard()->setText(row.input);
        row.how == "type" ? QTest::keyClicks(form->Text1, row.input)
        : row.how == "drop"
            ? void(QApplication::sendEvent(form->Text1, &enter) && QApplication::sendEvent(form->Text1, &drop))
            : form->Text1->paste();
        QCOMPARE(form->Text1->text(), row.text);
        QCOMPARE(form->Text1->selectedText(), row.selected);
        QVERIFY(form->Label1->text().isEmpty() && form->ValidEntry() == row.refusal.isEmpty());
        QCOMPARE(ui->boxes.texts().join(""), row.refusal);
        // A refused entry is emptied, or all selected when too long, and focused.
        QCOMPARE(form->Text1->text(), row.refusal == kRefused ? QString() : row.text);
        if (!row.refusal.isEmpty())
            QVERIFY(ui->boxes.seen()[0].icon == QMessageBox::Critical && form->focusWidget() == form->Text1 &&
                    form->Text1->selectedText() == form->Text1->text());
    }

    // Each command leaves the window idle, the focus on its own control, and
    // every line of both lists whole, also while Generate fills them. Ctrl
    // held at the click changes nothing for Quick Test and Analyze.
    void commandsEndIdleWithWholeLines_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("line");
        const QString prime = "1273686058795523552920593173";
        QTest::newRow("Quick Test") << "cmdTest"
                                    << "9999999999999999999999999997"
                                    << "Click Analyze for prime factors";
        QTest::newRow("Analyze 19 digits")
            << "cmdAnalyze"
            << "2305843008139952128"
            << "2305843008139952128 = " + QStringList(30, "2").join(" * ") + " * 2147483647";
        QTest::newRow("Analyze 28-digit prime") << "cmdAnalyze" << prime << prime + " = 1 * " + prime;
        QTest::newRow("Analyze 28 digits") << "cmdAnalyze"
                                           << "1200000002531510000838620587"
                                           << "1200000002531510000838620587 = 30000000012347 * 40000000067921";
        QTest::newRow("Generate") << "cmdList"
                                  << "30000"
                                  << "3";
    }
    void commandsEndIdleWithWholeLines()
    {
        QFETCH(QString, command);
        QFETCH(QString, number);
        QFETCH(QString, line);
        ui->when([&] { return form->List1->count() > 1000; }, [&] { verifyWholeLines(); });
        if (command != "cmdList")
            QTest::keyPress(form, Qt::Key_Control);
        ui->run(form->findChild<QPushButton *>(command), number);
        QTest::keyRelease(form, Qt::Key_Control);
        QVERIFY2(ui->results().contains(line), qPrintable(ui->results().join("\n")));
        QVERIFY(idle() && QApplication::focusWidget()->objectName() == (command == "cmdAnalyze" ? "List1" : command));
        verifyWholeLines();
    }

    // Esc during Analyze stops it where it is. In a cofactor's test, its
    // factor line is listed as far as it got and Analyze goes no further; in
    // the divisor walk, the walk stops and clicks in the meantime are ignored.
    void escStopsAnalyze()
    {
        ui->when([&] { return form->blFactorize && !form->blPrime; }, [&] { ui->pressEsc(); });
        // Also stops the first run, should its divisor walk start all the same.
        ui->when([&] { return ui->results().contains("All Factors:"); },
                 [&] {
                     ui->click(form->cmdTest);
                     ui->click(form->cmdAnalyze);
                     ui->pressEsc();
                 });
        ui->run(form->cmdAnalyze, "200000000000000000078");  // 2 * (10^20 + 39)
        QCOMPARE(ui->results(), QStringList({"Prime Factors:", "200000000000000000078 = 2 * 100000000000000000039"}));
        QVERIFY(form->Label4->text() == "Process interrupted by user." && idle());
        ui->run(form->cmdAnalyze, "1073741824000039728447488");  // 2^30 * (10^15 + 37): the walk would go to 10^12
        QCOMPARE(ui->results().mid(2, 3), (QStringList{"All Factors:", "1", "2"}));
        QVERIFY(!ui->results().last().startsWith("Total Divisors") &&
                form->Label4->text() == "Process interrupted by user.");
        QVERIFY(!form->blEsc && form->isVisible() && idle());

        // A list of millions of lines scrolls while it fills; Esc keeps the divisors listed so far.
        const QString number = "9593805043129459383903672000";
        int topRow = 0;
        ui->when([&] { return form->List1->count() > 2000000; },
                 [&] {
                     for (Qt::Key key : {Qt::Key_Home, Qt::Key_PageDown, Qt::Key_End})
                         QTest::keyClick(form->List1, key);
                     topRow = form->List1->indexAt(QPoint(0, 0)).row();
                     ui->pressEsc();
                 });
        ui->run(form->cmdAnalyze, number);
        const int listed = form->List1->count();
        QVERIFY(topRow > 1999000 && listed > topRow && form->Label4->text() == "Process interrupted by user.");
        const auto value = [](const QString &text) {
            uint128 v = 0;
            DecimalNum::fromText(text.toStdString()).toUInt128(v);
            return v;
        };
        uint128 previous = 1;
        for (int row : {4, listed / 2, listed - 1}) {
            const uint128 divisor = value(form->List1->lineAt(row));
            QVERIFY(divisor > previous && value(number) % divisor == 0);
            previous = divisor;
        }
    }

    // Clicks select a line as in a list box: one below the last line, or
    // with Ctrl on the selected line, keeps the selection, so that F, P and
    // the right-click still find it.
    void clicksKeepALineSelected()
    {
        ui->run(form->cmdAnalyze, "91");
        LineListView *list = form->List1;
        const QPoint factorLine = FormDriver::rowCenter(list, ui->results().indexOf("91 = 7 * 13"));
        const QPoint belowLastLine(4, list->viewport()->height() - 4);
        QVERIFY(!list->indexAt(belowLastLine).isValid());
        for (const auto &[modifiers, at] : {std::pair{Qt::NoModifier, factorLine},
                                            {Qt::NoModifier, belowLastLine},
                                            {Qt::ControlModifier, factorLine},
                                            {Qt::ControlModifier, belowLastLine}}) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, at);
            QVERIFY2(list->selectedLine() == "91 = 7 * 13",
                     qPrintable(QString("at (%1, %2) with %3").arg(at.x()).arg(at.y()).arg(modifiers)));
        }
        QTest::keyClick(list, Qt::Key_F);
        form->Text1->setText("5");
        QTest::keyClick(list, Qt::Key_P);
        QCOMPARE((QStringList{QGuiApplication::clipboard()->text(), form->Text1->text()}),
                 (QStringList{"7 * 13", "91"}));
    }

    // A failure in a command, or one that escapes its handler, is shown in a
    // plain box titled "Zorvelan", and the window goes on.
    void failuresAreReported()
    {
        // The entry changes under a running Analyze, before it reads the number.
        ui->when([&] { return form->blRunning; }, [&] { form->Text1->setText("abc"); });
        ui->run(form->cmdAnalyze, "360");
        const bool nothingListed = ui->results().isEmpty();
        // Thrown from a queued call: unwinding from a click would pass through
        // Qt's widget code, which is not built to unwind and leaks the event.
        QMetaObject::invokeMethod(
            form, [] { throw std::runtime_error("Injected failure"); }, Qt::QueuedConnection);
        QCoreApplication::processEvents();
        QCOMPARE(ui->boxes.texts(), (QStringList{QString::fromUtf8(ConversionError().what()), "Injected failure"}));
        for (const MessageBoxAnswerer::Seen &box : ui->boxes.seen())
            QVERIFY(box.title == "Zorvelan" && box.icon == QMessageBox::NoIcon);
        QVERIFY(nothingListed && idle() && form->isVisible());
    }

    // Closing during a list-file run ends the run at once and quits the
    // application through its own event loop, every line found in the file.
    void closingQuitsWithTheListFileComplete()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("1000000000.txt");
        form->listFolder = folder.path();
        ui->when([&] { return QFileInfo::exists(path) && !QApplication::activeModalWidget(); }, [&] { form->close(); });
        QTimer::singleShot(0, [&] {
            QTest::keyPress(form, Qt::Key_Control);
            ui->run(form->cmdList, "1000000000");
        });
        QTimer::singleShot(60000, [] { QCoreApplication::exit(1); });  // should closing not quit
        QCOMPARE(QCoreApplication::exec(), 0);
        QFile file(path);
        const QByteArray lines = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        QCOMPARE(form->Label1->text(), QString(" %1 Primes Saved").arg(lines.count("\r\n")));
        QVERIFY(lines.endsWith("\r\n") && idle() && ui->boxes.seen().size() == 1);
    }
};

int main(int argc, char **argv)
{
    ZorvelanApplication app(argc, argv);
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_window.moc"
