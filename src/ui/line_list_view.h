#pragma once

#include <QAbstractItemView>
#include <optional>

#include "numeric/uint128.h"

class LineListModel;

// A list box over a LineListModel, for lists of millions of lines. Rows have
// one height, so every position is arithmetic and nothing is laid out per
// row; only the rows in view are drawn, each whole, however long.
//
// Reading the list (its count, a line, the selection) changes nothing; the
// counts and lines include those appended since the last event pass. New
// rows are measured as they are announced, and the scroll bars follow them
// when the list is next drawn, or sooner where a scroll or a key needs it.
//
// Its horizontal extent, the width its horizontal scroll bar reaches, is its
// widest line plus room for a vertical scroll bar, or 0 when it is empty; the
// bar shows only while the extent exceeds the viewport. The widest line is
// followed as lines are added: a text line is measured once, and of the
// number lines only the longest, since the window font's digits share one
// advance.
class LineListView : public QAbstractItemView {
    Q_OBJECT

public:
    explicit LineListView(QWidget *parent = nullptr);
    ~LineListView() override;

    int count() const;
    void addItem(const QString &text);
    void addNumber(uint128 value);
    void insertItem(int row, const QString &text);
    void clear();
    QString lineAt(int row) const;
    int currentRow() const;
    void setCurrentRow(int row);
    std::optional<QString> selectedLine() const;
    // Every line, each preceded by CR LF.
    QString allLinesWithLeadingCrLf() const;

    int horizontalExtent() const;
    // Measures every line again.
    void fitExtentToEntries();

    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;
    void keyboardSearch(const QString &search) override;

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &) const override { return false; }
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;

    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void updateGeometries() override;
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void reset() override;
    void changeEvent(QEvent *event) override;

private:
    int rows() const;
    int rowHeight() const { return rowSize_.height(); }
    int rowsInView() const;
    int firstRowInView() const;
    void measureRows(int first, int last);
    void measureAllRows();
    void measureRowSize();
    void applyExtent();
    void updateGeometriesLater();
    void updatePendingGeometries();

    LineListModel *lines_;
    QSize rowSize_;  // of the widest line, as the style draws a row
    QString widestLine_;
    int widestWidth_ = 0;  // of widestLine_, in the font
    int longestNumberDigits_ = 0;
    bool geometriesPending_ = false;
};
