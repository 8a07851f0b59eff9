#include "ui/extent_list.h"

#include <QScrollBar>

ExtentListWidget::ExtentListWidget(QWidget *parent) : QListWidget(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void ExtentListWidget::setHorizontalExtent(int pixels)
{
    extent_ = pixels < 0 ? 0 : pixels;
    applyExtent();
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
    const int range = qMax(0, extent_ - viewport()->width());
    const Qt::ScrollBarPolicy policy = range > 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (horizontalScrollBarPolicy() != policy)
        setHorizontalScrollBarPolicy(policy);
    horizontalScrollBar()->setRange(0, range);
    horizontalScrollBar()->setPageStep(viewport()->width());
}
