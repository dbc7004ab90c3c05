#include "LabelPlacer.h"

#include <algorithm>
#include <cmath>

LabelPlacer::LabelPlacer(const QRectF& area, double cellSize)
    : area_(area), cellSize_(cellSize), columns_(std::max(1, static_cast<int>(std::ceil(area.width() / cellSize)))),
      rows_(std::max(1, static_cast<int>(std::ceil(area.height() / cellSize)))),
      cells_(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_))
{
}

template <typename Visit> void LabelPlacer::forCells(const QRectF& box, Visit visit) const
{
    const auto cell = [this](double offset, int count) {
        return std::clamp(static_cast<int>(std::floor(offset / cellSize_)), 0, count - 1);
    };
    const int firstColumn = cell(box.left() - area_.left(), columns_);
    const int lastColumn = cell(box.right() - area_.left(), columns_);
    const int firstRow = cell(box.top() - area_.top(), rows_);
    const int lastRow = cell(box.bottom() - area_.top(), rows_);
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column)
            if (!visit(static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                       static_cast<std::size_t>(column)))
                return;
}

bool LabelPlacer::isFree(const QRectF& box) const
{
    if (!area_.contains(box))
        return false;
    bool free = true;
    forCells(box, [&](std::size_t cell) {
        for (int index : cells_[cell])
            if (boxes_[static_cast<std::size_t>(index)].intersects(box)) {
                free = false;
                return false;
            }
        return true;
    });
    return free;
}

void LabelPlacer::occupy(const QRectF& box)
{
    const int index = static_cast<int>(boxes_.size());
    boxes_.push_back(box);
    forCells(box, [&](std::size_t cell) {
        cells_[cell].push_back(index);
        return true;
    });
}

bool LabelPlacer::tryPlace(const QRectF& box)
{
    if (!isFree(box))
        return false;
    occupy(box);
    return true;
}

bool LabelPlacer::tryPlace(const std::vector<QRectF>& boxes)
{
    if (!std::all_of(boxes.begin(), boxes.end(), [this](const QRectF& box) { return isFree(box); }))
        return false;
    for (const QRectF& box : boxes)
        occupy(box);
    return true;
}
