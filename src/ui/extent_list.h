#pragma once

#include <QListWidget>

// A list box with a horizontal extent in pixels, as the program sets it: the
// horizontal scroll bar ranges over (extent - viewport width) and shows only
// while that is positive.
class ExtentListWidget : public QListWidget {
    Q_OBJECT

public:
    explicit ExtentListWidget(QWidget *parent = nullptr);

    void setHorizontalExtent(int pixels);
    int horizontalExtent() const { return extent_; }

protected:
    void updateGeometries() override;

private:
    void applyExtent();
    int extent_ = 0;
};
