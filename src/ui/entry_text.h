#pragma once

#include <QString>

// Text tests of the entry box, free of any widget.
namespace entry_text {
inline const QString kPrompt = QStringLiteral("Enter a number");
constexpr int kMaxDigits = 28;

// True when the whole text, ignoring blanks around it, reads as a number:
// digits with an optional sign and an optional decimal point.
bool isNumeric(const QString &text);
// Value of the longest leading part that reads as a decimal number; 0 if none.
double leadingValue(const QString &text);
// The text without leading and trailing space characters.
QString trimSpaces(const QString &text);
}  // namespace entry_text
