#include "FlyPath.h"

#include <algorithm>
#include <cmath>

namespace {
// Below this share of the widths the centres count as the same and the
// flight is a pure zoom (the general formulas divide by the distance).
constexpr double kSameCentre = 1e-9;
constexpr double kLongestFlightSeconds = 6;
constexpr double kPaceTimesSecondsPerUnit = 10;
} // namespace

FlyPath::FlyPath(FlyView from, FlyView to, double rho) : from_(from), to_(to), rho_(rho)
{
    from_.width = std::max(from_.width, 1e-9);
    to_.width = std::max(to_.width, 1e-9);
    distance_ = std::hypot(to_.x - from_.x, to_.y - from_.y);
    const double w0 = from_.width;
    const double w1 = to_.width;
    if (distance_ <= kSameCentre * std::max(w0, w1)) {
        zoomOnly_ = true;
        length_ = std::abs(std::log(w1 / w0)) / rho_;
        return;
    }
    const double rho2 = rho_ * rho_;
    const double rho4u2 = rho2 * rho2 * distance_ * distance_;
    const double b0 = (w1 * w1 - w0 * w0 + rho4u2) / (2 * w0 * rho2 * distance_);
    const double b1 = (w1 * w1 - w0 * w0 - rho4u2) / (2 * w1 * rho2 * distance_);
    // ln(-b + sqrt(b^2 + 1)) written as -asinh(b), which loses no precision
    // when b is large.
    r0_ = -std::asinh(b0);
    const double r1 = -std::asinh(b1);
    length_ = (r1 - r0_) / rho_;
}

FlyView FlyPath::at(double t) const
{
    t = std::clamp(t, 0.0, 1.0);
    if (t >= 1)
        return to_;
    if (length_ <= 0)
        return t <= 0 ? from_ : to_;
    const double s = t * length_;
    const double w0 = from_.width;
    if (zoomOnly_) {
        const double direction = to_.width < w0 ? -1 : 1;
        const double share = t; // the centres differ by next to nothing
        return {from_.x + (to_.x - from_.x) * share, from_.y + (to_.y - from_.y) * share,
                w0 * std::exp(direction * rho_ * s)};
    }
    const double rho2 = rho_ * rho_;
    const double u = w0 / rho2 * (std::cosh(r0_) * std::tanh(rho_ * s + r0_) - std::sinh(r0_));
    const double w = w0 * std::cosh(r0_) / std::cosh(rho_ * s + r0_);
    const double share = u / distance_;
    return {from_.x + (to_.x - from_.x) * share, from_.y + (to_.y - from_.y) * share, w};
}

double flyDurationSeconds(double pathLength, double pace)
{
    if (!(pathLength > 0))
        return 0;
    const double safePace = pace > 0 ? pace : 1;
    return std::min(kLongestFlightSeconds, pathLength * kPaceTimesSecondsPerUnit / safePace);
}
