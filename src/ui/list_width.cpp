#include <QFontMetrics>
#include <QListWidgetItem>
#include <QStyle>
#include <algorithm>

#include "ui/extent_list.h"
#include "ui/form1.h"

namespace {

// The width a list needs to scroll to its widest entry: that entry's text
// plus room for a vertical scroll bar, whether one shows or not; 0 when empty.
int widestEntry(const ExtentListWidget &list, int scrollBarWidth)
{
    const QFontMetrics metrics(list.font());
    int widest = 0;
    for (int row = 0; row < list.count(); ++row)
        widest = std::max(widest, metrics.horizontalAdvance(list.item(row)->text()) + scrollBarWidth);
    return widest;
}

}  // namespace

void Form1::subFitListWidth()
{
    const int scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (ExtentListWidget *list : {List1, lsLMO})
        list->setHorizontalExtent(widestEntry(*list, scrollBarWidth));
}
