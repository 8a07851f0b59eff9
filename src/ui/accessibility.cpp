#include "ui/accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QLabel>

#include "ui/line_list_accessible.h"

namespace {

// A label in a frame, named by its text alone. Qt names a label without text
// after its frame's caption, so a reader would hear the empty fields of the
// ratio panel as "Divisor Ratios".
class FrameLabelAccessible : public QAccessibleWidget {
public:
    explicit FrameLabelAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text type) const override
    {
        if (type != QAccessible::Name)
            return QAccessibleWidget::text(type);
        const QString name = widget()->accessibleName();
        return name.isEmpty() ? label()->text() : name;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation match) const override
    {
        auto related = QAccessibleWidget::relations(match);
        if (match & QAccessible::Labelled)
            if (QAccessibleInterface *buddy = QAccessible::queryAccessibleInterface(label()->buddy()))
                related.append({buddy, QAccessible::Labelled});
        return related;
    }

private:
    QLabel *label() const { return static_cast<QLabel *>(widget()); }
};

QAccessibleInterface *windowControlInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("LineListView"))
        return new LineListAccessible(static_cast<QAbstractItemView *>(object));
    if (className == QLatin1String("QLabel") && qobject_cast<QGroupBox *>(object->parent()))
        return new FrameLabelAccessible(static_cast<QLabel *>(object));
    return nullptr;
}

}  // namespace

void installAccessibility()
{
    static const bool installed = (QAccessible::installFactory(windowControlInterface), true);
    Q_UNUSED(installed);
}
