#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include "generator/results_list_text.h"
#include "ui/form1.h"
#include "ui/line_list_view.h"

namespace {

void putOnClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

}  // namespace

void Form1::List1_KeyDown(int keyCode)
{
    if (List1->count() == 0)
        return;
    if (keyCode == Qt::Key_C) {
        putOnClipboard(List1->allLinesWithLeadingCrLf());
    } else if (keyCode == Qt::Key_F) {
        if (const auto entry = List1->selectedLine())
            putOnClipboard(results_list::factorsOf(*entry));
    } else if (keyCode == Qt::Key_P) {
        if (const auto entry = List1->selectedLine())
            if (const auto number = results_list::numberOf(*entry))
                Text1->setText(*number);
    }
}

void Form1::List1_MouseDown(Qt::MouseButton button)
{
    if (button != Qt::RightButton || blTest || blAnalyze || blList)
        return;
    if (const auto entry = List1->selectedLine())
        if (const auto text = results_list::rightClickText(*entry))
            Text1->setText(*text);
}

void Form1::List1_MouseMove()
{
    if (List1->count() > 0)
        List1->setToolTip(results_list::kHint);
}
