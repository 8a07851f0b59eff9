#include "ui/accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "ui/form1.h"
#include "ui/line_list_accessible.h"

namespace {

// Quick Test and Analyze judge the entered number; Generate and the series
// test of the ratio list report counts of primes instead.
bool isVerdict(const QString &result)
{
    return result == u"Certified Composite" || result.startsWith(u"Probable Prime ") || result.endsWith(u" is Prime") ||
           result.endsWith(u" is Composite");
}

// The description of a label, with what only the moment can tell: the
// number a verdict is about, the divisor of the latest quotient.
QString liveDescription(const QLabel *label)
{
    const QString description = label->accessibleDescription();
    const auto *form = qobject_cast<const Form1 *>(label->window());
    if (!form)
        return description;
    if (label == form->Label1 && isVerdict(label->text()))
        return description + QStringLiteral(" for ") + form->Text1->text();
    if (label == form->lbCR && !label->text().isEmpty() && !label->toolTip().isEmpty())
        return description + QStringLiteral(", divisor ") + label->toolTip().trimmed();
    return description;
}

// A label in a frame, named by its text alone. Qt names a label without text
// after its frame's caption, so a reader would hear the empty fields of the
// ratio panel as "Divisor Ratios".
class FrameLabelAccessible : public QAccessibleWidget {
public:
    explicit FrameLabelAccessible(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Description && !widget()->accessibleDescription().isEmpty())
            return liveDescription(label());
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

// What the fields of the right-hand panel hold in each of its layouts.
struct PanelDescriptions {
    const char *best;    // lbNo
    const char *count;   // lbOf
    const char *record;  // lbLMO
};
constexpr PanelDescriptions kRatioPanel{"best divisor", "number of best divisors", "fraction of the best divisor"};
constexpr PanelDescriptions kIntervalPanel{"largest interval", "unused for intervals",
                                           "prime after the largest interval"};

// Keeps the panel's descriptions to the layout it shows. Only the interval
// layout shows the smallest-interval field, so its showing and hiding
// switch them, whichever command rearranges the panel.
class PanelDescriber : public QObject {
public:
    explicit PanelDescriber(Form1 &form) : QObject(&form), form_(form)
    {
        describe(form.lbLow->isHidden() ? kRatioPanel : kIntervalPanel);
        form.lbLow->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::ShowToParent)
            describe(kIntervalPanel);
        else if (event->type() == QEvent::HideToParent)
            describe(kRatioPanel);
        return false;
    }

private:
    void describe(const PanelDescriptions &panel)
    {
        form_.lbNo->setAccessibleDescription(QString::fromLatin1(panel.best));
        form_.lbOf->setAccessibleDescription(QString::fromLatin1(panel.count));
        form_.lbLMO->setAccessibleDescription(QString::fromLatin1(panel.record));
    }

    Form1 &form_;
};

}  // namespace

void installAccessibility()
{
    static const bool installed = (QAccessible::installFactory(windowControlInterface), true);
    Q_UNUSED(installed);
}

void describeControls(Form1 &form)
{
    form.Frame3->setAccessibleName(QStringLiteral("Status"));
    form.Text1->setAccessibleDescription(QStringLiteral("whole number from 2, up to 28 digits"));
    form.Label1->setAccessibleDescription(QStringLiteral("result"));
    form.lbCR->setAccessibleDescription(QStringLiteral("fraction of the latest quotient"));
    form.lbLow->setAccessibleDescription(QStringLiteral("smallest interval"));
    form.Label4->setAccessibleDescription(QStringLiteral("progress and status"));
    form.Label13->setAccessibleDescription(QStringLiteral("start or elapsed time"));
    new PanelDescriber(form);
}
