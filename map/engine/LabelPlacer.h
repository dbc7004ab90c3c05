// Keeps texts and icons of one frame apart: a box is placed only where no
// box placed before it lies, so whatever is placed first wins. A uniform grid
// of buckets keeps each test short however many labels a frame holds.
#pragma once

#include <QRectF>

#include <vector>

class LabelPlacer {
public:
    // area: the frame in pixels; a box reaching outside it is refused.
    explicit LabelPlacer(const QRectF& area, double cellSize = 48);

    bool isFree(const QRectF& box) const;
    void occupy(const QRectF& box);
    // Occupies the box and returns true when it is inside the area and free.
    bool tryPlace(const QRectF& box);
    // All or nothing: the boxes of one text bent along a line.
    bool tryPlace(const std::vector<QRectF>& boxes);

    int placedCount() const { return static_cast<int>(boxes_.size()); }

private:
    template <typename Visit> void forCells(const QRectF& box, Visit visit) const;

    QRectF area_;
    double cellSize_;
    int columns_;
    int rows_;
    std::vector<QRectF> boxes_;
    std::vector<std::vector<int>> cells_; // indices into boxes_
};
