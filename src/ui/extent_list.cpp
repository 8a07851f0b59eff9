#include "ui/extent_list.h"

#include <QScrollBar>

ExtentListWidget::ExtentListWidget(QWidget *parent) : QListWidget(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
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

void ExtentListWidget::applyExtent()
{
    const int range = qMax(0, extent_ - viewport()->width());
    horizontalScrollBar()->setRange(0, range);
    horizontalScrollBar()->setPageStep(viewport()->width());
}
