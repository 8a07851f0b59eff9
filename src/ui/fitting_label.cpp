#include "ui/fitting_label.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace {
// Quarter points: fine enough that the text keeps nearly its full size.
constexpr qreal kStep = 0.25;
constexpr qreal kSmallest = 4;
}  // namespace

int FittingLabel::inset() const { return margin() + std::max(indent(), 0); }

int FittingLabel::textRoom() const { return contentsRect().width() - 2 * inset(); }

QFont FittingLabel::fontFor(const QString &text) const
{
    if (text == fittedText_ && font() == fittedFrom_)
        return fitted_;
    QFont candidate = font();
    const int room = textRoom();
    while (QFontMetrics(candidate).horizontalAdvance(text) > room && candidate.pointSizeF() - kStep >= kSmallest)
        candidate.setPointSizeF(candidate.pointSizeF() - kStep);
    fittedText_ = text;
    fittedFrom_ = font();
    fitted_ = candidate;
    return candidate;
}

void FittingLabel::paintEvent(QPaintEvent *event)
{
    const QFont shown = fontFor(text());
    if (shown == font()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    painter.setFont(shown);
    const QRect room = contentsRect().adjusted(inset(), 0, -inset(), 0);
    style()->drawItemText(&painter, room, QStyle::visualAlignment(layoutDirection(), alignment()), palette(),
                          isEnabled(), text(), foregroundRole());
}
