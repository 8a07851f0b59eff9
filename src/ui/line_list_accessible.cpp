#include "ui/line_list_accessible.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QPointer>
#include <QWindow>

namespace {

// One line of the list, read from the view's model each time it is asked.
class LineAccessible : public QAccessibleInterface {
public:
    LineAccessible(QAbstractItemView *view, int row) : view_(view), row_(row) {}

    QAbstractItemView *view() const { return view_; }
    int row() const { return row_; }

    bool isValid() const override { return view_ && row_ < view_->model()->rowCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(view_); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text type) const override
    {
        return type == QAccessible::Name && isValid() ? index().data().toString() : QString();
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect row = view_->visualRect(index());
        return {view_->viewport()->mapToGlobal(row.topLeft()), row.size()};
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        const QModelIndex line = index();
        state.selectable = state.focusable = true;
        state.selected = view_->selectionModel()->isSelected(line);
        state.focused = (view_->hasFocus() || view_->viewport()->hasFocus()) && view_->currentIndex() == line;
        state.invisible = !view_->isVisible() || !view_->viewport()->rect().intersects(view_->visualRect(line));
        return state;
    }

private:
    QModelIndex index() const { return view_->model()->index(row_, 0); }

    QPointer<QAbstractItemView> view_;
    int row_;
};

}  // namespace

LineListAccessible::LineListAccessible(QAbstractItemView *view) : QAccessibleWidget(view, QAccessible::List)
{
    QObject::connect(view->model(), &QAbstractItemModel::rowsInserted, &connections_,
                     [this](const QModelIndex &, int first, int last) { linesInserted(first, last); });
    QObject::connect(view->model(), &QAbstractItemModel::modelReset, &connections_, [this] { linesReset(); });
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged, &connections_,
                     [this](const QModelIndex &current) {
                         if (this->view()->hasFocus() || this->view()->viewport()->hasFocus())
                             reportChild(QAccessible::Focus, current.row());
                     });
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, &connections_,
                     [this](const QItemSelection &selected, const QItemSelection &deselected) {
                         if (!selected.isEmpty())
                             reportChild(QAccessible::SelectionAdd, selected.first().top());
                         if (!deselected.isEmpty())
                             reportChild(QAccessible::SelectionRemove, deselected.first().top());
                     });
}

LineListAccessible::~LineListAccessible() { dropItemsFrom(0); }

QAbstractItemView *LineListAccessible::view() const { return static_cast<QAbstractItemView *>(widget()); }

int LineListAccessible::childCount() const { return view()->model()->rowCount(); }

QAccessibleInterface *LineListAccessible::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    if (const auto kept = items_.find(index); kept != items_.end()) {
        if (QAccessibleInterface *item = QAccessible::accessibleInterface(kept->second))
            return item;
        items_.erase(kept);
    }
    auto *item = new LineAccessible(view(), index);
    items_.emplace(index, QAccessible::registerAccessibleInterface(item));
    return item;
}

int LineListAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *line = dynamic_cast<const LineAccessible *>(child);
    return line && line->view() == view() && line->isValid() ? line->row() : -1;
}

QAccessibleInterface *LineListAccessible::childAt(int x, int y) const
{
    const QPoint point = view()->viewport()->mapFromGlobal(QPoint(x, y));
    if (!view()->viewport()->rect().contains(point))
        return nullptr;
    const QModelIndex index = view()->indexAt(point);
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface *LineListAccessible::focusChild() const
{
    const QModelIndex current = view()->currentIndex();
    return current.isValid() ? child(current.row()) : nullptr;
}

// Lines appended after the last leave every item as it is; a line inserted
// above others moves them, and their items go.
void LineListAccessible::linesInserted(int first, int last)
{
    dropItemsFrom(first);
    QAccessibleTableModelChangeEvent event(view(), QAccessibleTableModelChangeEvent::RowsInserted);
    event.setFirstRow(first);
    event.setLastRow(last);
    QAccessible::updateAccessibility(&event);
}

void LineListAccessible::linesReset()
{
    dropItemsFrom(0);
    QAccessibleTableModelChangeEvent event(view(), QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&event);
}

void LineListAccessible::dropItemsFrom(int row)
{
    const auto from = items_.lower_bound(row);
    for (auto item = from; item != items_.end(); ++item)
        QAccessible::deleteAccessibleInterface(item->second);
    items_.erase(from, items_.end());
}

void LineListAccessible::reportChild(QAccessible::Event type, int row)
{
    if (row < 0 || row >= childCount())
        return;
    QAccessibleEvent event(view(), type);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}
