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
//
// As in Qt's own lists, it is also a table of one column: the accessibility
// bus then tells readers that the list manages its items, so that they ask
// for the items they need instead of walking millions of them.
class LineListAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit LineListAccessible(QAbstractItemView *view);
    ~LineListAccessible() override;

    QAccessibleInterface *child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    // The table of one column.
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override { return column == 0 ? child(row) : nullptr; }
    int selectedCellCount() const override { return selectedRowCount(); }
    QList<QAccessibleInterface *> selectedCells() const override;
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    int columnCount() const override { return 1; }
    int rowCount() const override { return childCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // The items follow the model's signals, which also reach the list when no
    // reader is active.
    void modelChange(QAccessibleTableModelChangeEvent *) override {}

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
