#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include "generator/results_list_text.h"
#include "ui/extent_list.h"
#include "ui/form1.h"

namespace {

void putOnClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

QStringList entriesOf(const QListWidget *list)
{
    QStringList entries;
    entries.reserve(list->count());
    for (int row = 0; row < list->count(); ++row)
        entries << list->item(row)->text();
    return entries;
}

std::optional<QString> selectedEntry(const QListWidget *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.first()->text();
}

}  // namespace

void Form1::List1_KeyDown(int keyCode)
{
    if (List1->count() == 0)
        return;
    if (keyCode == Qt::Key_C) {
        putOnClipboard(results_list::allEntries(entriesOf(List1)));
    } else if (keyCode == Qt::Key_F) {
        if (const auto entry = selectedEntry(List1))
            putOnClipboard(results_list::factorsOf(*entry));
    } else if (keyCode == Qt::Key_P) {
        if (const auto entry = selectedEntry(List1))
            if (const auto number = results_list::numberOf(*entry))
                Text1->setText(*number);
    }
}

void Form1::List1_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::RightButton || blTest || blAnalyze || blList)
        return;
    if (const auto entry = selectedEntry(List1))
        if (const auto text = results_list::rightClickText(*entry))
            Text1->setText(*text);
}

void Form1::List1_MouseMove()
{
    if (List1->count() > 0)
        List1->setToolTip(results_list::kHint);
}
