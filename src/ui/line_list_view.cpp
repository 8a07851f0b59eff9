#include "ui/line_list_view.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>
#include <string>

#include "numeric/digits.h"
#include "ui/line_list_model.h"

LineListView::LineListView(QWidget *parent) : QAbstractItemView(parent), lines_(new LineListModel(this))
{
    setModel(lines_);
    setSelectionMode(SingleSelection);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollMode(ScrollPerPixel);
    measureRowSize();
}

LineListView::~LineListView() = default;

// ---- The lines ----

int LineListView::count() const { return lines_->lineCount(); }

int LineListView::rows() const { return lines_->rowCount(); }

void LineListView::addItem(const QString &text) { lines_->appendText(text); }

void LineListView::addNumber(uint128 value) { lines_->appendNumber(value); }

void LineListView::insertItem(int row, const QString &text) { lines_->insertText(row, text); }

void LineListView::clear() { lines_->clear(); }

QString LineListView::lineAt(int row) const { return row >= 0 && row < count() ? lines_->line(row) : QString(); }

int LineListView::currentRow() const { return currentIndex().row(); }

void LineListView::setCurrentRow(int row)
{
    lines_->announce();
    selectionModel()->setCurrentIndex(lines_->index(row), QItemSelectionModel::ClearAndSelect);
}

std::optional<QString> LineListView::selectedLine() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    return lines_->line(selected.first().row());
}

QString LineListView::allLinesWithLeadingCrLf() const { return lines_->joinedWithLeadingCrLf(); }

// ---- The extent ----

int LineListView::horizontalExtent() const
{
    return rows() == 0 ? 0 : widestWidth_ + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

void LineListView::fitExtentToEntries()
{
    lines_->announce();
    measureAllRows();
    updateGeometries();
    viewport()->update();
}

void LineListView::measureAllRows()
{
    widestLine_.clear();
    widestWidth_ = 0;
    longestNumberDigits_ = 0;
    measureRows(0, rows() - 1);
}

void LineListView::measureRows(int first, int last)
{
    const int widestBefore = widestWidth_;
    const auto measure = [this](const QString &line) {
        if (const int width = fontMetrics().horizontalAdvance(line); width > widestWidth_) {
            widestWidth_ = width;
            widestLine_ = line;
        }
    };
    for (int row = first; row <= last; ++row)
        if (lines_->isText(row))
            measure(lines_->line(row));
    std::string longest;
    appendDigits(longest, lines_->largestNumber());
    if (last >= first && static_cast<int>(longest.size()) > longestNumberDigits_) {
        longestNumberDigits_ = static_cast<int>(longest.size());
        measure(QString::fromLatin1(longest.data(), static_cast<qsizetype>(longest.size())));
    }
    if (widestWidth_ != widestBefore)
        measureRowSize();
}

// A row is as wide as the style draws the widest line; rows share its height.
void LineListView::measureRowSize()
{
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = widestLine_.isEmpty() ? QStringLiteral("0") : widestLine_;
    rowSize_ = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    rowSize_.setHeight(std::max(rowSize_.height(), 1));
}

void LineListView::updateGeometries()
{
    geometriesPending_ = false;
    QAbstractItemView::updateGeometries();
    verticalScrollBar()->setRange(0, std::max(0, rows() - rowsInView()));
    verticalScrollBar()->setPageStep(rowsInView());
    verticalScrollBar()->setSingleStep(1);
    applyExtent();
}

// The bar's visibility follows the extent alone, through the policy: left "as
// needed", it would follow the rows' width instead.
void LineListView::applyExtent()
{
    const int range = std::max(0, horizontalExtent() - viewport()->width());
    const Qt::ScrollBarPolicy policy = range > 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (horizontalScrollBarPolicy() != policy)
        setHorizontalScrollBarPolicy(policy);
    horizontalScrollBar()->setRange(0, range);
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setSingleStep(fontMetrics().averageCharWidth());
}

// The scroll bars are set once before the list is drawn, however many
// batches of rows arrive in between.
void LineListView::updateGeometriesLater()
{
    geometriesPending_ = true;
    viewport()->update();
}

void LineListView::updatePendingGeometries()
{
    if (geometriesPending_)
        updateGeometries();
}

void LineListView::rowsInserted(const QModelIndex &parent, int start, int end)
{
    QAbstractItemView::rowsInserted(parent, start, end);
    measureRows(start, end);
    updateGeometriesLater();
}

void LineListView::reset()
{
    QAbstractItemView::reset();
    measureAllRows();
    updateGeometriesLater();
}

void LineListView::changeEvent(QEvent *event)
{
    QAbstractItemView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        measureAllRows();
        measureRowSize();
        updateGeometriesLater();
    }
}

// ---- Rows on the screen: the vertical scroll bar counts rows ----

int LineListView::rowsInView() const { return std::max(1, viewport()->height() / rowHeight()); }

int LineListView::firstRowInView() const { return verticalScrollBar()->value(); }

int LineListView::horizontalOffset() const { return horizontalScrollBar()->value(); }

int LineListView::verticalOffset() const { return firstRowInView() * rowHeight(); }

QRect LineListView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != lines_)
        return {};
    const int width = std::max(rowSize_.width(), horizontalOffset() + viewport()->width());
    return {-horizontalOffset(), (index.row() - firstRowInView()) * rowHeight(), width, rowHeight()};
}

QModelIndex LineListView::indexAt(const QPoint &point) const
{
    if (point.y() < 0)
        return {};
    const int row = firstRowInView() + point.y() / rowHeight();
    return row < rows() ? lines_->index(row) : QModelIndex();
}

void LineListView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid())
        return;
    updatePendingGeometries();
    const int row = index.row();
    const int inView = rowsInView();
    QScrollBar *bar = verticalScrollBar();
    switch (hint) {
    case PositionAtTop:
        bar->setValue(row);
        break;
    case PositionAtBottom:
        bar->setValue(row - inView + 1);
        break;
    case PositionAtCenter:
        bar->setValue(row - inView / 2);
        break;
    case EnsureVisible:
        if (row < firstRowInView())
            bar->setValue(row);
        else if (row >= firstRowInView() + inView)
            bar->setValue(row - inView + 1);
        break;
    }
}

QModelIndex LineListView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    if (rows() == 0)
        return {};
    updatePendingGeometries();
    const int current = currentRow();
    int row = current;
    switch (cursorAction) {
    case MoveUp:
    case MovePrevious:
        row = current - 1;
        break;
    case MoveDown:
    case MoveNext:
        row = current + 1;
        break;
    case MovePageUp:
        row = current - rowsInView();
        break;
    case MovePageDown:
        row = current + rowsInView();
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = rows() - 1;
        break;
    case MoveLeft:
    case MoveRight:
        break;
    }
    return lines_->index(std::clamp(row, 0, rows() - 1));
}

// Left and Right scroll the lines sideways, as in a list box.
void LineListView::keyPressEvent(QKeyEvent *event)
{
    updatePendingGeometries();
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        horizontalScrollBar()->triggerAction(event->key() == Qt::Key_Left ? QAbstractSlider::SliderSingleStepSub
                                                                          : QAbstractSlider::SliderSingleStepAdd);
        return;
    }
    QAbstractItemView::keyPressEvent(event);
}

// Below the last line there is nothing to select, and a list box keeps its
// selection there.
void LineListView::mousePressEvent(QMouseEvent *event)
{
    if (indexAt(event->position().toPoint()).isValid()) {
        QAbstractItemView::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

// Typing a letter or digit would look for a line that starts with it, reading
// every line of a list of millions; the lists have no such search.
void LineListView::keyboardSearch(const QString &) {}

void LineListView::scrollContentsBy(int, int) { viewport()->update(); }

void LineListView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    if (rows() == 0)
        return;
    const int top = firstRowInView() + std::max(0, rect.normalized().top()) / rowHeight();
    const int bottom = firstRowInView() + std::max(0, rect.normalized().bottom()) / rowHeight();
    if (top >= rows())
        return;
    const QItemSelection rowsHit(lines_->index(top), lines_->index(std::min(bottom, rows() - 1)));
    selectionModel()->select(rowsHit, command);
}

// A list box never takes its line's selection away: Ctrl on the selected
// line leaves it selected.
QItemSelectionModel::SelectionFlags LineListView::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    const QItemSelectionModel::SelectionFlags command = QAbstractItemView::selectionCommand(index, event);
    return command.testFlag(QItemSelectionModel::Deselect) ? QItemSelectionModel::NoUpdate : command;
}

QRegion LineListView::visualRegionForSelection(const QItemSelection &selection) const
{
    const int first = firstRowInView();
    const int last = first + rowsInView();
    QRegion region;
    for (const QItemSelectionRange &range : selection) {
        const int top = std::max(range.top(), first);
        const int bottom = std::min(range.bottom(), last);
        if (top <= bottom)
            region += visualRect(lines_->index(top)).united(visualRect(lines_->index(bottom)));
    }
    return region;
}

void LineListView::paintEvent(QPaintEvent *)
{
    updatePendingGeometries();
    QPainter painter(viewport());
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State viewState = option.state;
    const QModelIndex current = currentIndex();
    const bool focus = (hasFocus() || viewport()->hasFocus()) && current.isValid();
    const int last = std::min(rows() - 1, firstRowInView() + rowsInView());
    for (int row = firstRowInView(); row <= last; ++row) {
        const QModelIndex index = lines_->index(row);
        option.rect = visualRect(index);
        option.state = viewState;
        option.state.setFlag(QStyle::State_Selected, selectionModel()->isSelected(index));
        option.state.setFlag(QStyle::State_HasFocus, focus && index == current);
        itemDelegate()->paint(&painter, option, index);
    }
}
