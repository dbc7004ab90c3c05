#include "Measurement.h"

#include <cmath>

Measurement::Step Measurement::add(MapPoint point)
{
    if (finished_)
        clear();
    double segment = 0;
    if (!points_.empty()) {
        const MapPoint& last = points_.back();
        segment = std::hypot(double(point.x) - last.x, double(point.y) - last.y);
    }
    points_.push_back(point);
    distance_ += segment;
    return {distance_, segment};
}

void Measurement::clear()
{
    points_.clear();
    distance_ = 0;
    finished_ = false;
}
