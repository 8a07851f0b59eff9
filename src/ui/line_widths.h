#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>
#include <array>

// Widths of one-line texts in one font, in pixels, as QFontMetrics gives them.
// Lines made of digits, blanks, points and colons (the bulk of the program's
// lists) are measured by adding up their characters' advances: a fraction of
// the cost of laying the line out, and the same result for every character
// that the font sets without kerning against the others, which is checked
// pair by pair here. Any other line is laid out in full.
class LineWidths {
public:
    explicit LineWidths(const QFont &font);

    int of(const QString &text) const;

private:
    QFontMetrics metrics_;
    // The advance of each character whose advances add up exactly; 0 for the others.
    std::array<qreal, 128> additive_{};
};
