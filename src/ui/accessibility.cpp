#include "ui/accessibility.h"

#include <QAbstractItemView>

#include "ui/line_list_accessible.h"

namespace {

QAccessibleInterface *windowControlInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("LineListView"))
        return new LineListAccessible(static_cast<QAbstractItemView *>(object));
    return nullptr;
}

}  // namespace

void installAccessibility()
{
    static const bool installed = (QAccessible::installFactory(windowControlInterface), true);
    Q_UNUSED(installed);
}
