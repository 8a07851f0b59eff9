#pragma once

#include <QByteArray>
#include <QString>

// A refused entry as the messages name it: control characters, the
// backslash and bytes that are not UTF-8 escaped (\x00, \\, \xff), and an
// entry of more than 40 characters cut to its first 20 and last 10 with
// the count between: 77777777777777777777…(9970 more)…7777777777.
QString shownEntry(const QByteArray &entry);
