#include "ui/entry_text.h"

#include <QRegularExpression>

namespace entry_text {

bool isNumeric(const QString &text)
{
    static const QRegularExpression number(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)\s*$)"));
    return number.match(text).hasMatch();
}

double leadingValue(const QString &text)
{
    static const QRegularExpression leading(QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+))"));
    const QRegularExpressionMatch match = leading.match(text);
    return match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
}

QString cleanedUp(const QString &text)
{
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && (isBlank(text.at(first)) || text.at(first) == u'0'))
        ++first;
    while (last > first && isBlank(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

}  // namespace entry_text
