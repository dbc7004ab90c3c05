// The bar between the page area and the firm list: dragging it changes the
// page area's height live; Moved reports the end of a drag.
#pragma once

#include <QWidget>
#include <functional>

class TSplitterBar : public QWidget {
    Q_OBJECT
public:
    // `above` is the control whose height the bar changes; `below` the one
    // that gives way, down to a small rest.
    TSplitterBar(QWidget* above, QWidget* below, QWidget* parent = nullptr);

    // The least height a drag gives the control above.
    int MinSize = 10;
    // The user let the bar go after moving it.
    std::function<void()> OnMoved;

    // Moves the bar by `dy` pixels, as a drag does, and reports the move.
    void MoveBy(int dy);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void resizeAbove(int height);
    int largestHeight() const;

    QWidget* above_;
    QWidget* below_;
    int pressY_ = 0;
    int pressHeight_ = 0;
    bool dragging_ = false;
};
