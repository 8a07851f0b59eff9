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

QString trimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

}  // namespace entry_text
