#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the results list's keys and right-click take out of its entries.
namespace results_list {
// The factors of a factorisation line ("91 = 7 * 13" gives "7 * 13"); an
// entry without "=" is taken whole.
QString factorsOf(const QString &entry);
// The number that P carries into the entry box, if the entry holds one.
std::optional<QString> numberOf(const QString &entry);
// What a right-click carries into the entry box: the part before " = ", or
// the whole entry when it has no "=".
std::optional<QString> rightClickText(const QString &entry);

inline const QString kHint = QStringLiteral("Press C to copy all, P to test prime, F to copy factors.");
}  // namespace results_list
