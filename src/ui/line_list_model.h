#pragma once

#include <QAbstractListModel>
#include <QString>
#include <deque>
#include <vector>

#include "numeric/uint128.h"

// The lines of one of the window's lists, held compactly: a line that is a
// whole number (a divisor, a prime, an interval) is kept as the number, 16
// bytes, and made into text only when it is shown or read; any other line is
// kept as text.
//
// Appended lines are announced to the views in batches, not one by one: they
// become rows on the next pass of the event loop (one queued call per batch),
// before any change other than an append, and whenever the owner needs them
// as rows, to select one. Reading changes nothing: lineCount() and line()
// include the lines not yet announced.
class LineListModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void appendNumber(uint128 value);
    void appendText(const QString &text);
    void insertText(int row, const QString &text);
    void clear();
    void announce();

    // Every line, announced or not, and the text of one of them.
    int lineCount() const { return static_cast<int>(slots_.size()); }
    QString line(int row) const;
    bool isText(int row) const;
    // The largest number among the lines, 0 when there is none.
    uint128 largestNumber() const { return largestNumber_; }
    // Every line, each preceded by CR LF.
    QString joinedWithLeadingCrLf() const;

private:
    void appendLine(uint128 slot);
    void announceBatch();
    qsizetype joinedLength() const;

    // A number's slot holds the number; a text's slot holds kTextFlag and the
    // text's index in texts_. Numbers stay below 2^127: the number type's
    // largest is below 2^96.
    static constexpr uint128 kTextFlag = uint128(1) << 127;
    std::deque<uint128> slots_;
    std::vector<QString> texts_;
    int announced_ = 0;
    bool announceQueued_ = false;
    uint128 largestNumber_ = 0;
};
