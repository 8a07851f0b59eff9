#pragma once

#include <QListWidget>
#include <memory>

class LineWidths;

// A list box that shows every entry whole. Its horizontal extent, the width
// its horizontal scroll bar reaches, is its widest entry plus room for a
// vertical scroll bar, or 0 when it is empty; the bar shows only while the
// extent exceeds the viewport. Every row is as wide as the widest entry. The
// widest entry is followed as entries come and go: an added entry is the only
// one measured, and rows keep one size, so long lists stay fast to fill.
class ExtentListWidget : public QListWidget {
    Q_OBJECT

public:
    explicit ExtentListWidget(QWidget *parent = nullptr);
    ~ExtentListWidget() override;

    int horizontalExtent() const;
    const QString &widestEntry() const { return widestText_; }
    // Measures every entry again.
    void fitExtentToEntries();

protected:
    void rowsInserted(const QModelIndex &parent, int start, int end) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
    void reset() override;
    void changeEvent(QEvent *event) override;
    void updateGeometries() override;

private:
    void measureRows(int first, int last);
    void applyExtent();

    std::unique_ptr<LineWidths> widths_;
    QString widestText_;
    int widestWidth_ = 0;
};
