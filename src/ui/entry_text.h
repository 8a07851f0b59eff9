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
// The text without the blanks, tabs and line breaks around it and without
// its leading zeros, zeros and blanks in any order: " 0 07\r\n" gives "7".
QString cleanedUp(const QString &text);
}  // namespace entry_text
