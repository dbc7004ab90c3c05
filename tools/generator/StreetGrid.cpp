#include "StreetGrid.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Positions of grid lines across a length: uneven spacing around a mean,
// stretched to end exactly at the length.
std::vector<double> linePositions(Prng& random, double length, double mean)
{
    const int count = std::max(2, static_cast<int>(std::lround(length / mean)));
    std::vector<double> positions{0};
    for (int k = 0; k < count; ++k)
        positions.push_back(positions.back() + random.uniform(0.75, 1.3));
    const double stretch = length / positions.back();
    for (double& position : positions)
        position *= stretch;
    return positions;
}

// The city's edge is a wobbly ring rather than the grid's rectangle.
bool withinOutline(const CityFrame& frame, QPointF local)
{
    const QPointF offset = local - frame.centre();
    const double angle = std::atan2(offset.y(), offset.x());
    const double phase = frame.character().rotationDegrees * 0.05;
    const double outline = 1.08 + 0.13 * std::sin(3 * angle + phase) + 0.07 * std::sin(5 * angle + 2 * phase);
    return frame.centreDistance(local) < outline;
}

StreetKind kindOf(Prng& random, bool main, bool inside, std::size_t segments)
{
    if (main)
        return !inside ? StreetKind::Highway : random.chance(0.45) ? StreetKind::Avenue : StreetKind::MainStreet;
    if (segments <= 2)
        return random.chance(0.6) ? StreetKind::Lane : StreetKind::Passage;
    return random.chance(0.08) ? StreetKind::Boulevard : StreetKind::Street;
}

} // namespace

StreetGrid::StreetGrid(const CityFrame& frame, Prng& random, StreetNamer& namer)
{
    placeNodes(frame, random);
    chooseMainLines(random);
    verticalStreets_.assign(static_cast<std::size_t>((columns_ + 1) * rows_), -1);
    horizontalStreets_.assign(static_cast<std::size_t>(columns_ * (rows_ + 1)), -1);
    for (int i = 0; i <= columns_; ++i)
        traceLine(frame, random, namer, true, i);
    for (int j = 0; j <= rows_; ++j)
        traceLine(frame, random, namer, false, j);
}

void StreetGrid::placeNodes(const CityFrame& frame, Prng& random)
{
    const CityCharacter& character = frame.character();
    const std::vector<double> us = linePositions(random, character.width, character.meanBlock);
    const std::vector<double> vs = linePositions(random, character.height, character.meanBlock);
    columns_ = static_cast<int>(us.size()) - 1;
    rows_ = static_cast<int>(vs.size()) - 1;
    const double jitter = 0.07 * character.meanBlock;
    for (int j = 0; j <= rows_; ++j) {
        for (int i = 0; i <= columns_; ++i) {
            const QPointF node(us[i] + random.uniform(-jitter, jitter), vs[j] + random.uniform(-jitter, jitter));
            nodes_.push_back(node);
            inside_.push_back(withinOutline(frame, node));
        }
    }
}

void StreetGrid::chooseMainLines(Prng& random)
{
    auto choose = [&random](int lines) {
        std::vector<bool> main(static_cast<std::size_t>(lines + 1), false);
        for (int line = random.range(2, 4); line < lines - 1; line += random.range(4, 6))
            main[static_cast<std::size_t>(line)] = true;
        return main;
    };
    mainColumns_ = choose(columns_);
    mainRows_ = choose(rows_);
}

bool StreetGrid::segmentExists(const CityFrame& frame, QPointF from, QPointF to, bool main, bool inside) const
{
    if (main)
        return true; // avenues cross the river on bridges and leave town as highways
    if (!inside)
        return false;
    return !frame.crossesRiver(from, to) && !frame.nearRiver(from, 12) && !frame.nearRiver(to, 12);
}

bool StreetGrid::blockInCity(int i, int j) const
{
    return insideCity(i, j) && insideCity(i + 1, j) && insideCity(i, j + 1) && insideCity(i + 1, j + 1);
}

void StreetGrid::traceLine(const CityFrame& frame, Prng& random, StreetNamer& namer, bool vertical, int line)
{
    const bool main = vertical ? mainColumns_[line] : mainRows_[line];
    const int segments = vertical ? rows_ : columns_;
    auto nodeAt = [&](int k) { return vertical ? node(line, k) : node(k, line); };
    auto insideAt = [&](int k) { return vertical ? insideCity(line, k) : insideCity(k, line); };
    auto slot = [&](int k) {
        return vertical ? &verticalStreets_[line * rows_ + k] : &horizontalStreets_[line * columns_ + k];
    };

    GridStreet current;
    std::vector<int*> currentSlots;
    bool currentInside = false;
    int longest = random.range(11, 22);
    auto flush = [&] {
        if (!currentSlots.empty()) {
            current.kind = kindOf(random, main, currentInside, currentSlots.size());
            addStreet(current, namer, currentSlots);
        }
        current = GridStreet{};
        currentSlots.clear();
        longest = random.range(11, 22);
    };
    for (int k = 0; k < segments; ++k) {
        const bool inside = insideAt(k) && insideAt(k + 1);
        if (!segmentExists(frame, nodeAt(k), nodeAt(k + 1), main, inside)) {
            flush();
            continue;
        }
        const bool tooLong = !main && static_cast<int>(currentSlots.size()) >= longest;
        if (!currentSlots.empty() && (inside != currentInside || tooLong))
            flush();
        if (currentSlots.empty()) {
            current = GridStreet{{nodeAt(k)}, vertical, line, StreetKind::Street, main};
            currentInside = inside;
        }
        current.points.push_back(nodeAt(k + 1));
        currentSlots.push_back(slot(k));
    }
    flush();
}

void StreetGrid::addStreet(GridStreet street, StreetNamer& namer, const std::vector<int*>& segments)
{
    const int streetIndex = static_cast<int>(streets_.size());
    for (int* segment : segments)
        *segment = streetIndex;
    names_.push_back(namer.name(street.kind));
    streets_.push_back(std::move(street));
}
