#include "Buildings.h"

#include <cmath>

namespace {

// How the buildings of one block's street front look in a zone.
struct FrontStyle {
    double minLength, maxLength;
    double minDepth, maxDepth;
    double setback;
    double minGap, maxGap;
    int minFloors, maxFloors;
    bool sheds;
};

const FrontStyle kCentreFront{20, 48, 14, 19, 3, 0, 4, 3, 7, false};
const FrontStyle kPanelFront{55, 105, 12, 14, 14, 16, 34, 5, 16, false};
const FrontStyle kPrivateFront{8, 12, 8, 10, 5, 4, 9, 1, 2, true};
const FrontStyle kIndustrialFront{40, 120, 24, 48, 12, 16, 30, 1, 2, false};

// One side of a block: the street segment it faces, walked in the street's
// direction, and the direction into the block.
struct BlockSide {
    QPointF from;
    QPointF to;
    QPointF inward;
    int street;
    bool oddSide;
    bool vertical;
};

QPointF unit(QPointF vector)
{
    const double length = std::hypot(vector.x(), vector.y());
    return length > 0 ? vector / length : QPointF();
}

QPointF leftOf(QPointF direction) { return {-direction.y(), direction.x()}; }

std::vector<QPointF> rectangle(QPointF origin, QPointF along, QPointF inward, double length, double depth)
{
    return {origin, origin + along * length, origin + along * length + inward * depth, origin + inward * depth};
}

QPointF centroid(const std::vector<QPointF>& corners)
{
    QPointF sum;
    for (const QPointF& corner : corners)
        sum += corner;
    return sum / static_cast<double>(corners.size());
}

int panelFloors(Prng& random)
{
    static const std::vector<int> floors{5, 5, 9, 9, 9, 10, 12, 14, 16};
    return random.pick(floors);
}

class Placer {
public:
    Placer(const StreetGrid& grid, const CityFrame& frame, Prng& random) : grid_(grid), frame_(frame), random_(random) {}

    BlockPlan run()
    {
        for (int j = 0; j < grid_.rows(); ++j)
            for (int i = 0; i < grid_.columns(); ++i)
                placeBlock(i, j);
        return std::move(plan_);
    }

private:
    BlockZone zoneOf(int i, int j)
    {
        if (!grid_.blockInCity(i, j))
            return BlockZone::Park; // outside the town: fields, nothing built
        const QPointF middle = (grid_.node(i, j) + grid_.node(i + 1, j + 1)) / 2;
        const double distance = frame_.centreDistance(middle) + random_.uniform(-0.06, 0.06);
        if (distance > 0.3 && frame_.railwayDistance(middle) < 450 && random_.chance(0.7))
            return BlockZone::Industrial;
        if (distance < 0.62 && random_.chance(0.035))
            return BlockZone::Park;
        if (distance < 0.27)
            return BlockZone::Centre;
        return distance < 0.66 ? BlockZone::Panel : BlockZone::Private;
    }

    std::vector<BlockSide> sidesOf(int i, int j) const
    {
        const QPointF sw = grid_.node(i, j), se = grid_.node(i + 1, j);
        const QPointF nw = grid_.node(i, j + 1), ne = grid_.node(i + 1, j + 1);
        auto side = [](QPointF from, QPointF to, bool blockOnLeft, int street, bool vertical) {
            const QPointF direction = unit(to - from);
            const QPointF inward = blockOnLeft ? leftOf(direction) : -leftOf(direction);
            return BlockSide{from, to, inward, street, blockOnLeft, vertical};
        };
        return {side(sw, se, true, grid_.horizontalStreet(i, j), false),
                side(nw, ne, false, grid_.horizontalStreet(i, j + 1), false),
                side(sw, nw, false, grid_.verticalStreet(i, j), true),
                side(se, ne, true, grid_.verticalStreet(i + 1, j), true)};
    }

    void placeBlock(int i, int j)
    {
        const BlockZone zone = zoneOf(i, j);
        plan_.zones.push_back(zone);
        if (zone == BlockZone::Park)
            return;
        const FrontStyle& style = zone == BlockZone::Centre    ? kCentreFront
                                  : zone == BlockZone::Panel   ? kPanelFront
                                  : zone == BlockZone::Private ? kPrivateFront
                                                               : kIndustrialFront;
        const std::vector<BlockSide> sides = sidesOf(i, j);
        for (const BlockSide& side : sides)
            placeFront(side, style, zone, i, j);
        placeCourtyard(sides, zone, i, j);
    }

    void placeFront(const BlockSide& side, const FrontStyle& style, BlockZone zone, int i, int j)
    {
        const QPointF direction = unit(side.to - side.from);
        const double length = std::hypot(side.to.x() - side.from.x(), side.to.y() - side.from.y());
        const double margin = style.setback + style.maxDepth + 4;
        double t = margin + random_.uniform(0, style.maxGap);
        while (true) {
            const double buildingLength = random_.uniform(style.minLength, style.maxLength);
            if (t + buildingLength > length - margin)
                break;
            const double depth = random_.uniform(style.minDepth, style.maxDepth);
            const QPointF origin = side.from + direction * t + side.inward * style.setback;
            PlacedBuilding building;
            building.corners = rectangle(origin, direction, side.inward, buildingLength, depth);
            building.floors = zone == BlockZone::Panel ? panelFloors(random_) : random_.range(style.minFloors, style.maxFloors);
            if (zone == BlockZone::Centre && random_.chance(0.08))
                building.floors = random_.range(9, 14);
            addNumbered(building, side, i, j);
            if (style.sheds) {
                // A shed behind every house, and often a bath-house at the back of the plot.
                addShed(origin + side.inward * (depth + 3), direction, side.inward, buildingLength, i, j);
                if (random_.chance(0.6))
                    addShed(origin + side.inward * (depth + 12), direction, side.inward, buildingLength, i, j);
            }
            t += buildingLength + random_.uniform(style.minGap, style.maxGap);
        }
    }

    void addShed(QPointF origin, QPointF direction, QPointF inward, double frontLength, int i, int j)
    {
        PlacedBuilding shed;
        const QPointF start = origin + direction * random_.uniform(0, std::max(0.0, frontLength - 6));
        shed.corners = rectangle(start, direction, inward, random_.uniform(3.5, 6), random_.uniform(3.5, 5));
        add(shed, i, j);
    }

    // Houses inside the block, numbered as buildings ("корпуса") of the
    // nearest street that has one.
    void placeCourtyard(const std::vector<BlockSide>& sides, BlockZone zone, int i, int j)
    {
        if (zone == BlockZone::Private || (zone == BlockZone::Centre && !random_.chance(0.7)))
            return;
        const QPointF middle = (grid_.node(i, j) + grid_.node(i + 1, j + 1)) / 2;
        const int count = zone == BlockZone::Industrial ? 1 : random_.range(1, 3);
        for (int k = 0; k < count; ++k) {
            const double length = zone == BlockZone::Centre ? random_.uniform(14, 22) : random_.uniform(45, 80);
            const double depth = zone == BlockZone::Centre ? random_.uniform(10, 13) : random_.uniform(12, 16);
            const double offset = (k - (count - 1) / 2.0) * 34;
            const QPointF origin = middle + QPointF(-length / 2, offset - depth / 2);
            PlacedBuilding building;
            building.corners = rectangle(origin, {1, 0}, {0, 1}, length, depth);
            building.floors = zone == BlockZone::Panel ? panelFloors(random_) : random_.range(1, 3);
            building.courtyard = true;
            const BlockSide* side = nullptr;
            for (const BlockSide& candidate : sides)
                if (candidate.street >= 0 && !side)
                    side = &candidate;
            if (side)
                addNumbered(building, *side, i, j);
            else
                add(building, i, j);
        }
    }

    void addNumbered(PlacedBuilding& building, const BlockSide& side, int i, int j)
    {
        if (side.street >= 0) {
            const QPointF middle = centroid(building.corners);
            building.street = side.street;
            building.oddSide = side.oddSide;
            building.along = side.vertical ? middle.y() : middle.x();
        }
        add(building, i, j);
    }

    void add(PlacedBuilding& building, int i, int j)
    {
        for (const QPointF& corner : building.corners)
            if (frame_.nearRiver(corner, 10))
                return;
        if (frame_.railwayDistance(centroid(building.corners)) < 40)
            return;
        building.blockI = i;
        building.blockJ = j;
        plan_.buildings.push_back(std::move(building));
    }

    const StreetGrid& grid_;
    const CityFrame& frame_;
    Prng& random_;
    BlockPlan plan_;
};

} // namespace

BlockPlan PlaceBuildings(const StreetGrid& grid, const CityFrame& frame, Prng& random)
{
    return Placer(grid, frame, random).run();
}
