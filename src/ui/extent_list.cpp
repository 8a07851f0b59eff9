#include "ui/extent_list.h"

#include <QEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "ui/line_widths.h"

namespace {

// Sizes a row for the list's widest entry. With uniform item sizes the view
// asks for one row's size and gives it to them all.
class WidestRowDelegate : public QStyledItemDelegate {
public:
    explicit WidestRowDelegate(ExtentListWidget *list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem widest = option;
        initStyleOption(&widest, index);
        widest.text = list_->widestEntry();
        return list_->style()->sizeFromContents(QStyle::CT_ItemViewItem, &widest, QSize(), list_);
    }

private:
    ExtentListWidget *list_;
};

}  // namespace

ExtentListWidget::ExtentListWidget(QWidget *parent)
    : QListWidget(parent), widths_(std::make_unique<LineWidths>(font()))
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setUniformItemSizes(true);
    setItemDelegate(new WidestRowDelegate(this));
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &ExtentListWidget::fitExtentToEntries);
}

ExtentListWidget::~ExtentListWidget() = default;

int ExtentListWidget::horizontalExtent() const
{
    return count() == 0 ? 0 : widestWidth_ + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void ExtentListWidget::fitExtentToEntries()
{
    widestText_.clear();
    widestWidth_ = 0;
    measureRows(0, count() - 1);
}

void ExtentListWidget::measureRows(int first, int last)
{
    const int widestBefore = widestWidth_;
    for (int row = first; row <= last; ++row) {
        const QString text = item(row)->text();
        const int width = widths_->of(text);
        if (width > widestWidth_) {
            widestWidth_ = width;
            widestText_ = text;
        }
    }
    if (widestWidth_ != widestBefore)
        scheduleDelayedItemsLayout();
}

void ExtentListWidget::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QListWidget::rowsInserted(parent, start, end);
    measureRows(start, end);
}

void ExtentListWidget::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                                   const QList<int> &roles)
{
    QListWidget::dataChanged(topLeft, bottomRight, roles);
    if (roles.isEmpty() || roles.contains(Qt::DisplayRole))
        fitExtentToEntries();
}

void ExtentListWidget::reset()
{
    QListWidget::reset();
    fitExtentToEntries();
}

void ExtentListWidget::changeEvent(QEvent *event)
{
    QListWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        widths_ = std::make_unique<LineWidths>(font());
        fitExtentToEntries();
    }
}

void ExtentListWidget::updateGeometries()
{
    QListWidget::updateGeometries();
    applyExtent();
}

// The bar's visibility follows the extent alone, through the policy: left "as
// needed", the view would show it for its entries' widths while the extent
// hides it, and the two would take turns without end.
void ExtentListWidget::applyExtent()
{
    const int range = qMax(0, horizontalExtent() - viewport()->width());
    const Qt::ScrollBarPolicy policy = range > 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (horizontalScrollBarPolicy() != policy)
        setHorizontalScrollBarPolicy(policy);
    horizontalScrollBar()->setRange(0, range);
    horizontalScrollBar()->setPageStep(viewport()->width());
}
