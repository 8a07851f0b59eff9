#include "ui/line_list_model.h"

#include <QMetaObject>
#include <string>

#include "numeric/digits.h"

namespace {
QString latin1(const std::string &text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

int LineListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : announced_; }

QVariant LineListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= announced_)
        return {};
    return line(index.row());
}

void LineListModel::appendNumber(uint128 value)
{
    if (value > largestNumber_)
        largestNumber_ = value;
    appendLine(value);
}

void LineListModel::appendText(const QString &text)
{
    texts_.push_back(text);
    appendLine(kTextFlag | (texts_.size() - 1));
}

void LineListModel::appendLine(uint128 slot)
{
    slots_.push_back(slot);
    if (!announceQueued_) {
        announceQueued_ = true;
        QMetaObject::invokeMethod(this, &LineListModel::announceBatch, Qt::QueuedConnection);
    }
}

// Only the queued call clears the flag: an announce in between leaves it
// pending, so that appends until then post nothing more.
void LineListModel::announceBatch()
{
    announceQueued_ = false;
    announce();
}

void LineListModel::insertText(int row, const QString &text)
{
    announce();
    beginInsertRows(QModelIndex(), row, row);
    texts_.push_back(text);
    slots_.insert(slots_.begin() + row, kTextFlag | (texts_.size() - 1));
    ++announced_;
    endInsertRows();
}

void LineListModel::clear()
{
    beginResetModel();
    slots_ = {};
    texts_ = {};
    announced_ = 0;
    largestNumber_ = 0;
    endResetModel();
}

void LineListModel::announce()
{
    const int total = static_cast<int>(slots_.size());
    if (total == announced_)
        return;
    beginInsertRows(QModelIndex(), announced_, total - 1);
    announced_ = total;
    endInsertRows();
}

bool LineListModel::isText(int row) const { return (slots_[static_cast<std::size_t>(row)] & kTextFlag) != 0; }

QString LineListModel::line(int row) const
{
    const uint128 slot = slots_[static_cast<std::size_t>(row)];
    if (slot & kTextFlag)
        return texts_[static_cast<std::size_t>(slot & ~kTextFlag)];
    std::string digits;
    appendDigits(digits, slot);
    return latin1(digits);
}

qsizetype LineListModel::joinedLength() const
{
    qsizetype length = 0;
    for (const uint128 slot : slots_)
        length += 2 +
                  (slot & kTextFlag ? texts_[static_cast<std::size_t>(slot & ~kTextFlag)].size() : digitCount(slot));
    return length;
}

QString LineListModel::joinedWithLeadingCrLf() const
{
    // Numbers are collected as digits and turned into text a block at a time,
    // which costs a fraction of making each line a text of its own. The text
    // is made at its final size, so that it is never copied to grow.
    constexpr std::size_t kBlock = 1 << 16;
    QString joined;
    joined.reserve(joinedLength());
    std::string digits;
    for (const uint128 slot : slots_) {
        digits += "\r\n";
        if (slot & kTextFlag) {
            joined += latin1(digits) + texts_[static_cast<std::size_t>(slot & ~kTextFlag)];
            digits.clear();
            continue;
        }
        appendDigits(digits, slot);
        if (digits.size() >= kBlock) {
            joined += latin1(digits);
            digits.clear();
        }
    }
    joined += latin1(digits);
    return joined;
}
