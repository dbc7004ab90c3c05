// Distance measuring: each click adds a point to a broken line; the total
// length and the last segment are reported in metres. Ending the measurement
// keeps the line on show until the next click starts a new one.
#pragma once

#include "MapObject.h"

#include <vector>

class Measurement {
public:
    struct Step {
        double distance = 0; // the whole line so far
        double segment = 0;  // the last segment
    };

    // Adds a point (after an ended measurement, starts a new line with it).
    Step add(MapPoint point);
    void finish() { finished_ = true; }
    void clear();
    // True while points are being added.
    bool active() const { return !points_.empty() && !finished_; }
    bool finished() const { return finished_; }
    const std::vector<MapPoint>& points() const { return points_; }
    double distance() const { return distance_; }

private:
    std::vector<MapPoint> points_;
    double distance_ = 0;
    bool finished_ = false;
};
