#include <QLabel>
#include <QLineEdit>

#include "ui/entry_text.h"
#include "ui/form1.h"
#include "ui/system_colors.h"

using entry_text::kPrompt;

namespace {
// Setting an unchanged text raises no change event; this keeps it that way
// and leaves the caret alone.
void setTextIfChanged(QLineEdit *edit, const QString &text)
{
    if (edit->text() != text)
        edit->setText(text);
}
}  // namespace

// Runs after every change of the entry text. The cleanup is done in one
// step; setting the cleaned text runs this handler once more, nested, and
// that run finds nothing left to clean.
void Form1::Text1_Change()
{
    if (Text1->text() != kPrompt)
        setTextColor(Text1, systemColor(COLOR_ACTIVECAPTION));
    Text1->deselect();
    setTextIfChanged(Text1, entry_text::cleanedUp(Text1->text()));
    Label1->clear();
    Label4->clear();
    Label13->clear();

    // Something that is not a number gets its last character selected, so
    // that the next keystroke overwrites it.
    const QString text = Text1->text();
    if (!text.isEmpty() && !entry_text::isNumeric(text) && text != kPrompt && !text.contains(u'*'))
        Text1->setSelection(static_cast<int>(text.size()) - 1, 1);
}

void Form1::Text1_KeyDown(int)
{
    if (Text1->text() == kPrompt) {
        Text1->setText(QString());
        setTextColor(Text1, Qt::black);
    }
}

void Form1::Text1_MouseDown()
{
    const int length = static_cast<int>(Text1->text().size());
    if (Text1->text() == kPrompt)
        Text1->selectAll();
    const int start = Text1->hasSelectedText() ? Text1->selectionStart() : Text1->cursorPosition();
    if (start > 0 && start < length)
        Text1->selectAll();
}

void Form1::Text1_OLEDragDrop(const QString &plainText) { Text1->setText(plainText); }

bool Form1::ValidEntry()
{
    const QString text = Text1->text();
    if (text.size() > entry_text::kMaxDigits) {
        showMessage(QStringLiteral("Number exceeds Zorvelan's maximum (28 digits)."), QMessageBox::Critical);
        Text1->setFocus();
        Text1->selectAll();
        return false;
    }
    const bool refused = entry_text::leadingValue(text) < 2 || text.contains(u'.') || text.contains(u'-') ||
                         text.contains(u'+') || text.contains(u'*') || !entry_text::isNumeric(text);
    if (refused) {
        showMessage(QStringLiteral("Value cannot be evaluated."), QMessageBox::Critical);
        Text1->setText(QString());
        Text1->setFocus();
        return false;
    }
    return true;
}
