#include "CityFrame.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The map's origin lies this far south-west of the city, so that every map
// coordinate is positive.
constexpr double kMapMargin = 2000;

double segmentDistance(QPointF point, QPointF from, QPointF to)
{
    const QPointF along = to - from;
    const double lengthSquared = QPointF::dotProduct(along, along);
    const double t =
        lengthSquared > 0 ? std::clamp(QPointF::dotProduct(point - from, along) / lengthSquared, 0.0, 1.0) : 0.0;
    const QPointF nearest = from + along * t;
    return std::hypot(point.x() - nearest.x(), point.y() - nearest.y());
}

} // namespace

CityCharacter CharacterOf(const CityPlan& plan)
{
    CityCharacter character;
    const double grow = std::sqrt(std::max(plan.scale, 0.01));
    if (plan.edition == 2) {
        // Корвинск: a taller city turned across, the river from north to south
        // in the map, the railway along its eastern side.
        character.rotationDegrees = 96;
        character.meanBlock = 172;
        character.width = 8200 * grow;
        character.height = 8600 * grow;
        character.riverAt = 0.62;
        character.riverAmplitude = 420;
        character.riverWavelength = 5200;
        character.riverHalfWidth = 95;
        character.railwayAlongU = true;
        character.railwayAt = 0.12;
        character.postPrefix = 656;
        character.riverName = QStringLiteral("река Корва");
    } else {
        // Ольмарск: a wide city on a winding river, the railway in the west.
        character.rotationDegrees = 7;
        character.meanBlock = 178;
        character.width = 9400 * grow;
        character.height = 7800 * grow;
        character.riverAt = 0.42;
        character.riverAmplitude = 330;
        character.riverWavelength = 3900;
        character.riverHalfWidth = 75;
        character.railwayAlongU = false;
        character.railwayAt = 0.16;
        character.postPrefix = 644;
        character.riverName = QStringLiteral("река Ольма");
    }
    return character;
}

CityFrame::CityFrame(const CityCharacter& character) : character_(character)
{
    const double radians = character.rotationDegrees * std::numbers::pi / 180.0;
    cosine_ = std::cos(radians);
    sine_ = std::sin(radians);
    phase_ = character.rotationDegrees * 0.37;
    const double w = character.width;
    const double h = character.height;
    // A railway is a long gentle curve across the whole city and beyond it.
    for (int step = -2; step <= 22; ++step) {
        const double f = step / 20.0;
        if (character.railwayAlongU)
            railway_.push_back({f * w, character.railwayAt * h + 260 * std::sin(f * 2.3)});
        else
            railway_.push_back({character.railwayAt * w + 240 * std::sin(f * 2.7), f * h});
    }
}

MapPoint CityFrame::toMap(QPointF local) const
{
    const QPointF offset = local - centre();
    const double x = offset.x() * cosine_ - offset.y() * sine_;
    const double y = offset.x() * sine_ + offset.y() * cosine_;
    const double half = 0.5 * std::hypot(character_.width, character_.height);
    return {static_cast<float>(x + half + kMapMargin), static_cast<float>(y + half + kMapMargin)};
}

double CityFrame::riverCentre(double u) const
{
    const double wave = 2 * std::numbers::pi / character_.riverWavelength;
    return character_.riverAt * character_.height + character_.riverAmplitude * std::sin(u * wave + phase_) +
           0.35 * character_.riverAmplitude * std::sin(u * wave * 2.7 + 1.3 * phase_);
}

double CityFrame::riverHalfWidth(double u) const
{
    return character_.riverHalfWidth * (1.0 + 0.25 * std::sin(u / 700.0 + phase_));
}

bool CityFrame::nearRiver(QPointF local, double margin) const
{
    return std::abs(local.y() - riverCentre(local.x())) < riverHalfWidth(local.x()) + margin;
}

bool CityFrame::crossesRiver(QPointF from, QPointF to) const
{
    const double before = from.y() - riverCentre(from.x());
    const double after = to.y() - riverCentre(to.x());
    return (before < 0) != (after < 0);
}

double CityFrame::railwayDistance(QPointF local) const
{
    double nearest = 1e18;
    for (std::size_t i = 1; i < railway_.size(); ++i)
        nearest = std::min(nearest, segmentDistance(local, railway_[i - 1], railway_[i]));
    return nearest;
}

double CityFrame::centreDistance(QPointF local) const
{
    const QPointF offset = local - centre();
    return std::hypot(offset.x() / (0.5 * character_.width), offset.y() / (0.5 * character_.height));
}
