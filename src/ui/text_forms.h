#pragma once

#include <QString>
#include <string>

#include "numeric/decimal_num.h"

// Bridges between the number type's text forms and the window's strings.
inline QString qstr(const std::string &s) { return QString::fromStdString(s); }
// The system's decimal separator, as the number type expects it.
char systemDecimalSeparator();
