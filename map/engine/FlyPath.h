// The fly-to path of van Wijk and Nuij ("Smooth and efficient zooming and
// panning", 2003): the view zooms out while it pans and in again as it
// arrives, along the path that is shortest in their metric
//     ds^2 = (rho * du / w)^2 + (dw / (rho * w))^2,
// u being the distance travelled and w the visible width. The path is a pure
// function of the share of the flight done, so a timer only drives it.
#pragma once

struct FlyView {
    double x = 0;     // centre of the view, map units
    double y = 0;
    double width = 1; // visible width, map units
};

class FlyPath {
public:
    // rho balances zooming against panning; the paper recommends sqrt(2).
    FlyPath(FlyView from, FlyView to, double rho = 1.4142135623730951);

    // The length of the path in the metric above (0 when there is no move).
    double length() const { return length_; }
    // The view after the share t of the flight (clamped to 0..1). Equal steps
    // of t are equal steps along the path: the motion looks steady.
    FlyView at(double t) const;

private:
    FlyView from_;
    FlyView to_;
    double rho_;
    double distance_ = 0; // u1: how far the centre moves
    double r0_ = 0;
    double length_ = 0;
    bool zoomOnly_ = false;
};

// How long a flight along a path of that length takes, in seconds: longer
// paths take longer, a larger pace flies faster. Pace 30 crosses a city from
// its overview down to a building in about a second and a half.
double flyDurationSeconds(double pathLength, double pace);
