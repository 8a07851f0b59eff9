#pragma once

#include <QAccessibleWidget>
#include <QObject>
#include <map>

class QAbstractItemView;

// A list of lines as screen readers see it: a list whose items are its rows,
// row i being child i, each named by its line's text.
//
// Item interfaces are made only when a reader asks for one, and kept by row
// under an id as Qt keeps its own; an item reads its line when asked, and the
// rows whose lines change (lines inserted before them, the list emptied) drop
// theirs, so a reader never meets a stale item. Lines added, the list emptied,
// the current line and the selection are reported as Qt's own item views
// report them.
class LineListAccessible : public QAccessibleWidget {
public:
    explicit LineListAccessible(QAbstractItemView *view);
    ~LineListAccessible() override;

    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

private:
    QAbstractItemView *view() const;
    void linesInserted(int first, int last);
    void linesReset();
    void dropItemsFrom(int row);
    void reportChild(QAccessible::Event event, int row);

    mutable std::map<int, QAccessible::Id> items_;  // by row
    // Holds the connections to the view's model and selection, which end
    // with this interface.
    QObject connections_;
};
