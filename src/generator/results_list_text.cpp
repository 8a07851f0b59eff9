#include "generator/results_list_text.h"

#include "ui/entry_text.h"

namespace results_list {

QString factorsOf(const QString &entry)
{
    const qsizetype equals = entry.lastIndexOf(u'=');
    if (equals < 0)
        return entry;
    return entry.mid(equals + 2);
}

std::optional<QString> numberOf(const QString &entry)
{
    QString text = entry;
    if (text.contains(u'=')) {
        const qsizetype space = text.indexOf(u' ');
        if (space >= 0)
            text.truncate(space);
    }
    if (!entry_text::isNumeric(text))
        return std::nullopt;
    return text;
}

std::optional<QString> rightClickText(const QString &entry)
{
    const qsizetype equals = entry.indexOf(u'=');
    if (equals < 0)
        return entry;
    if (equals == 0)
        return std::nullopt;
    return entry.left(equals - 1);
}

}  // namespace results_list
