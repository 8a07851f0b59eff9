#include <QAccessible>
#include <QGroupBox>
#include <QLabel>

#include "support/form_driver.h"
#include "ui/application.h"

namespace {

QAccessibleInterface *accessible(QObject *control) { return QAccessible::queryAccessibleInterface(control); }
QString nameOf(QObject *control) { return accessible(control)->text(QAccessible::Name); }
QString descriptionOf(QObject *control) { return accessible(control)->text(QAccessible::Description); }

}  // namespace

// The window as a screen reader reads it: both lists with every line as an
// item, and the controls named for what they hold.
class AccessibilityTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FormDriver> ui;
    Form1 *form = nullptr;

    // The names of the list's items, each checked to be the child its index says.
    static QStringList itemNames(LineListView *list)
    {
        QAccessibleInterface *listItems = accessible(list);
        QStringList names;
        for (int i = 0; i < listItems->childCount(); ++i) {
            QAccessibleInterface *item = listItems->child(i);
            if (item->role() != QAccessible::ListItem || listItems->indexOfChild(item) != i ||
                item->parent() != listItems)
                return {QString("item %1 is no list item in its place").arg(i)};
            names << item->text(QAccessible::Name);
        }
        return names;
    }

private slots:
    void init()
    {
        ui = std::make_unique<FormDriver>();
        form = ui->form.get();
        QVERIFY(ui->ready());
    }
    void cleanup() { ui.reset(); }

    // Every line is an item named by its text, also once the lists have been
    // emptied and refilled by a second run; emptying them ends their items.
    void itemsAreTheLinesAfterEveryRun()
    {
        for (const char *number : {"360", "1260"}) {
            ui->run(form->cmdAnalyze, number);
            for (LineListView *list : {form->List1, form->lsLMO}) {
                QCOMPARE(accessible(list)->role(), QAccessible::List);
                QCOMPARE(itemNames(list), FormDriver::lines(list));
            }
        }
        const QAccessible::Id lastLine =
            QAccessible::uniqueId(accessible(form->lsLMO)->child(form->lsLMO->count() - 1));
        QTest::keyClick(form->Text1, Qt::Key_Delete);
        QVERIFY(accessible(form->List1)->childCount() == 0 && !QAccessible::accessibleInterface(lastLine));
    }

    // A list of a million and a half lines reads its first and last line, and
    // counts them all.
    void longListReadsToItsEnd()
    {
        ui->run(form->cmdAnalyze, "125733144817284272894065440");
        for (LineListView *list : {form->List1, form->lsLMO}) {
            QAccessibleInterface *listItems = accessible(list);
            const int last = list->count() - 1;
            QCOMPARE(listItems->childCount(), list->count());
            QCOMPARE(listItems->child(0)->text(QAccessible::Name), list->lineAt(0));
            QCOMPARE(listItems->child(last)->text(QAccessible::Name), list->lineAt(last));
        }
    }

    // The line the user moves to is the focused and selected item, found at
    // its place on the screen and as the selected row of the list's one
    // column; a reader selects a line as a click does.
    void currentLineIsTheFocusedItem()
    {
        ui->run(form->cmdAnalyze, "360");
        QCOMPARE(QApplication::focusWidget(), form->List1);
        QTest::keyClick(form->List1, Qt::Key_Up);
        QTest::keyClick(form->List1, Qt::Key_Up);
        QAccessibleInterface *listItems = accessible(form->List1);
        QAccessibleInterface *current = listItems->focusChild();
        const int row = form->List1->currentRow();
        QVERIFY(current && listItems->indexOfChild(current) == row);
        QVERIFY(current->state().focused && current->state().selected && !current->state().invisible);
        QCOMPARE(listItems->childAt(current->rect().center().x(), current->rect().center().y()), current);
        QVERIFY(!listItems->child(row + 1)->state().selected);
        QAccessibleTableInterface *table = listItems->tableInterface();
        QVERIFY(table && table->selectedRows() == QList<int>{row});
        QVERIFY(table->selectRow(row - 1) && form->List1->currentRow() == row - 1);
    }

    // The entry box, the lists and the box under "Best:" are named for what
    // they hold, as their captions say; the ratio list keeps its name for
    // what it holds when Generate has left its caption on the frame. A label
    // is named by its own text, none when it has none.
    void controlsAreNamedForWhatTheyHold()
    {
        struct Step {
            const char *command, *number, *ratioList, *bestBox;
        };
        const Step steps[]{
            {nullptr, nullptr, "Divisor Ratios", "Best:"},
            {"cmdAnalyze", "360", "Divisor Ratios", "Best nonfactors:"},
            {"cmdList", "30", "Intervals", "Largest:"},
            {"cmdTest", "360", "Divisor Ratios", "Best:"},
        };
        for (const Step &step : steps) {
            if (step.command)
                ui->run(form->findChild<QPushButton *>(step.command), step.number);
            const QString after = step.command ? QString(step.command) : "start";
            QCOMPARE(nameOf(form->Text1), "Number");
            QCOMPARE(nameOf(form->List1), "Results");
            QVERIFY2(nameOf(form->lsLMO) == step.ratioList, qPrintable(after + ": " + nameOf(form->lsLMO)));
            QVERIFY2(nameOf(form->lbNo) == step.bestBox, qPrintable(after + ": " + nameOf(form->lbNo)));
            for (QLabel *label : form->findChildren<QLabel *>())
                QVERIFY2(nameOf(label) == label->text(),
                         qPrintable(after + ": " + label->objectName() + " " + nameOf(label)));
        }
        QCOMPARE(form->Frame1->title(), "Intervals");
    }

    // Every value field on show says what it holds in the panel's layout of
    // the moment, also when a command rearranges the panel again; the result
    // line names the number its verdict is about, the latest ratio its divisor
    // once it shows one. The status frame is named, and Generate keeps its
    // tooltip as Qt gives it, for its description.
    void valueFieldsAreDescribedForThePanelsLayout()
    {
        using Descriptions = QMap<QString, QString>;
        const Descriptions always{
            {"Text1", "whole number from 2, up to 28 digits"},
            {"Label4", "progress and status"},
            {"Label13", "start or elapsed time"},
        };
        struct Step {
            const char *command, *number;
            Descriptions fields;
        };
        const Step steps[]{
            {"cmdList",
             "1000",
             {{"Label1", "result"},
              {"lbLow", "smallest interval"},
              {"lbNo", "largest interval"},
              {"lbOf", "unused for intervals"},
              {"lbLMO", "prime after the largest interval"}}},
            {"cmdAnalyze",
             "360",
             {{"Label1", "result for 360"},
              {"lbCR", "fraction of the latest quotient"},
              {"lbNo", "best divisor"},
              {"lbOf", "number of best divisors"},
              {"lbLMO", "fraction of the best divisor"}}},
            {"cmdTest",
             "97",
             {{"Label1", "result for 97"},
              {"lbCR", "fraction of the latest quotient"},
              {"lbNo", "best divisor"},
              {"lbOf", "number of best divisors"},
              {"lbLMO", "fraction of the best divisor"}}},
            {"cmdTest",
             "1000000007",
             {{"Label1", "result for 1000000007"},
              {"lbCR", "fraction of the latest quotient, divisor %1"},
              {"lbNo", "best divisor"},
              {"lbOf", "number of best divisors"},
              {"lbLMO", "fraction of the best divisor"}}},
        };
        const QStringList captions{"Label12", "Label14"};
        for (const Step &step : steps) {
            ui->run(form->findChild<QPushButton *>(step.command), step.number);
            Descriptions expected = step.fields;
            expected.insert(always);
            // The divisor of the latest quotient, which the ratio's tooltip shows.
            if (expected.value("lbCR").contains("%1"))
                expected["lbCR"] = expected["lbCR"].arg(form->lbCR->toolTip().trimmed());
            Descriptions read;
            for (QWidget *field : form->findChildren<QWidget *>())
                if ((qobject_cast<QLabel *>(field) || qobject_cast<QLineEdit *>(field)) && field->isVisible() &&
                    !captions.contains(field->objectName()))
                    read.insert(field->objectName(), descriptionOf(field));
            QCOMPARE(read, expected);
        }
        QCOMPARE(nameOf(form->Frame3), "Status");
        QCOMPARE(descriptionOf(form->cmdList), form->cmdList->toolTip());
    }
};

int main(int argc, char **argv)
{
    ZorvelanApplication app(argc, argv);
    AccessibilityTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_accessibility.moc"
