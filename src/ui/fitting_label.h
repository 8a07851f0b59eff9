#pragma once

#include <QFont>
#include <QLabel>
#include <QString>

// A one-line label of the fixed layout that may be given a text wider than
// itself (a 28-digit prime, a long verdict). Such a text is set in the
// label's font stepped down just enough to fit whole; a text that fits is
// drawn as any label draws it.
class FittingLabel : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

    // The font the label sets `text` in.
    QFont fontFor(const QString &text) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int textRoom() const;
    int inset() const;

    // The last text fitted, in which font, and the font found for it.
    mutable QString fittedText_;
    mutable QFont fittedFrom_;
    mutable QFont fitted_;
};
