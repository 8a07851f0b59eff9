#include "ui/line_widths.h"

#include <QFontMetricsF>

namespace {
const QString kCandidates = QStringLiteral("0123456789 .:");
}

LineWidths::LineWidths(const QFont &font) : metrics_(font)
{
    const QFontMetricsF metrics(font);
    std::array<qreal, 128> advance{};
    for (QChar c : kCandidates)
        advance[c.unicode()] = metrics.horizontalAdvance(QString(c));
    additive_ = advance;
    for (QChar first : kCandidates) {
        for (QChar second : kCandidates) {
            const qreal pair = metrics.horizontalAdvance(QString(first) + second);
            if (pair != advance[first.unicode()] + advance[second.unicode()])
                additive_[first.unicode()] = additive_[second.unicode()] = 0;
        }
    }
}

int LineWidths::of(const QString &text) const
{
    qreal width = 0;
    for (QChar c : text) {
        const qreal advance = c.unicode() < additive_.size() ? additive_[c.unicode()] : 0;
        if (advance <= 0)
            return metrics_.horizontalAdvance(text);
        width += advance;
    }
    return qRound(width);
}
