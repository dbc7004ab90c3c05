#include "CityParts.h"

#include "Vocabulary.h"

#include <cmath>
#include <numbers>

namespace {

QPointF unitVector(QPointF vector)
{
    const double length = std::hypot(vector.x(), vector.y());
    return length > 0 ? vector / length : QPointF();
}

std::vector<QPointF> ellipse(QPointF centre, double radiusU, double radiusV, double turn)
{
    std::vector<QPointF> points;
    for (int k = 0; k < 24; ++k) {
        const double angle = 2 * std::numbers::pi * k / 24;
        const double wobble = 1 + 0.12 * std::sin(3 * angle + turn);
        const QPointF offset(radiusU * std::cos(angle) * wobble, radiusV * std::sin(angle) * wobble);
        points.push_back(centre + QPointF(offset.x() * std::cos(turn) - offset.y() * std::sin(turn),
                                          offset.x() * std::sin(turn) + offset.y() * std::cos(turn)));
    }
    return points;
}

// The street crossing a grid line at a node, for the name of a stop there.
int crossingStreet(const StreetGrid& grid, const GridStreet& street, int k)
{
    const int node = k;
    if (street.vertical) {
        const int i = street.line;
        const int left = node > 0 && i > 0 ? grid.horizontalStreet(i - 1, node) : -1;
        return left >= 0 ? left : (i < grid.columns() ? grid.horizontalStreet(i, node) : -1);
    }
    const int j = street.line;
    const int below = j > 0 ? grid.verticalStreet(node, j - 1) : -1;
    return below >= 0 ? below : (j < grid.rows() ? grid.verticalStreet(node, j) : -1);
}

int nodeIndexOf(const StreetGrid& grid, const GridStreet& street, std::size_t point)
{
    // A street's points are consecutive grid nodes; find where it starts.
    const QPointF first = street.points.front();
    const int count = street.vertical ? grid.rows() : grid.columns();
    for (int k = 0; k <= count; ++k) {
        const QPointF node = street.vertical ? grid.node(street.line, k) : grid.node(k, street.line);
        if (node == first)
            return k + static_cast<int>(point);
    }
    return -1;
}

void addStopsOf(FeatureContext& context, const GridStreet& street)
{
    for (std::size_t p = 2; p + 1 < street.points.size(); p += 3) {
        const int node = nodeIndexOf(context.grid, street, p);
        const int cross = node >= 0 ? crossingStreet(context.grid, street, node) : -1;
        if (cross < 0)
            continue;
        const QPointF direction = unitVector(street.points[p + 1] - street.points[p]);
        const QPointF right(direction.y(), -direction.x());
        const QPointF place = street.points[p] + direction * 35 + right * 14;
        const QString crossName = context.grid.names()[static_cast<std::size_t>(cross)];
        context.writer.addIcon(otStop, place, QStringLiteral("STOP.BMP"),
                               QStringLiteral("ост. «") + crossName + QStringLiteral("»"));
        context.writer.addIcon(otRoadSign, street.points[p] + direction * 22 + right * 9,
                               QStringLiteral("CROSSWALK.BMP"), QStringLiteral("Пешеходный переход"));
    }
}

void addIntersectionSigns(FeatureContext& context, int i, int j)
{
    const StreetGrid& grid = context.grid;
    const bool vertical = j < grid.rows() && grid.verticalStreet(i, j) >= 0;
    const bool horizontal = i < grid.columns() && grid.horizontalStreet(i, j) >= 0;
    if (!vertical || !horizontal || !grid.insideCity(i, j))
        return;
    const QPointF node = grid.node(i, j);
    const bool mainV = grid.mainColumn(i);
    const bool mainH = grid.mainRow(j);
    if (mainV && mainH) {
        context.writer.addIcon(otRoadSign, node + QPointF(13, 13), QStringLiteral("SVETOFOR.BMP"),
                               QStringLiteral("Светофор"));
        context.writer.addIcon(otRoadSign, node + QPointF(-13, -13), QStringLiteral("SVETOFOR.BMP"),
                               QStringLiteral("Светофор"));
    } else if ((mainV || mainH) && context.random.chance(0.7)) {
        const QPointF minor = mainV ? QPointF(12, 16) : QPointF(16, 12);
        context.writer.addIcon(otRoadSign, node + minor, QStringLiteral("GIVEWAY.BMP"),
                               QStringLiteral("Уступите дорогу"));
    } else if (context.random.chance(0.12)) {
        const bool centre = context.writer.frame().centreDistance(node) < 0.3;
        context.writer.addIcon(otRoadSign, node + QPointF(10, -10),
                               centre ? QStringLiteral("PARKING.BMP") : QStringLiteral("NOENTRY.BMP"),
                               centre ? QStringLiteral("Парковка") : QStringLiteral("Въезд запрещён"));
    }
}

} // namespace

void AddAreas(FeatureContext& context)
{
    for (qsizetype d = 0; d < context.districts.names().size(); ++d) {
        const std::vector<QPointF> outline = context.districts.outline(static_cast<int>(d));
        if (outline.size() >= 3)
            context.writer.add(otDistrict, outline).Name = context.districts.names()[d];
    }
    const StreetGrid& grid = context.grid;
    const auto zoneAt = [&](int i, int j) { return context.blocks.zones[static_cast<std::size_t>(j) * grid.columns() + i]; };
    int number = 0;
    for (int j = 0; j + 1 < grid.rows(); j += 2) {
        for (int i = 0; i + 1 < grid.columns(); i += 2) {
            const bool panels = zoneAt(i, j) == BlockZone::Panel && zoneAt(i + 1, j) == BlockZone::Panel &&
                                zoneAt(i, j + 1) == BlockZone::Panel && zoneAt(i + 1, j + 1) == BlockZone::Panel;
            if (!panels || !context.random.chance(0.6))
                continue;
            std::vector<bool> quarter(context.blocks.zones.size(), false);
            for (const auto& [di, dj] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}})
                quarter[static_cast<std::size_t>(j + dj) * grid.columns() + i + di] = true;
            TPMXMapObjectMem& area = context.writer.add(otMicrodistrict, BlockSetOutline(grid, quarter));
            ++number;
            area.Name = context.random.chance(0.25)
                            ? QStringLiteral("микрорайон «") + context.random.pick(Vocabulary::microdistrictNames()) +
                                  QStringLiteral("»")
                            : QString::number(number) + QStringLiteral("-й микрорайон");
        }
    }
}

void AddWater(FeatureContext& context)
{
    const CityFrame& frame = context.writer.frame();
    const double width = frame.character().width;
    std::vector<QPointF> left;
    std::vector<QPointF> right;
    for (double u = -1800; u <= width + 1800; u += 60) {
        left.emplace_back(u, frame.riverCentre(u) + frame.riverHalfWidth(u));
        right.emplace_back(u, frame.riverCentre(u) - frame.riverHalfWidth(u));
    }
    std::vector<QPointF> river(right.begin(), right.end());
    river.insert(river.end(), left.rbegin(), left.rend());
    context.writer.add(otWater, river).Name = frame.character().riverName;

    const StreetGrid& grid = context.grid;
    for (int j = 0; j < grid.rows(); ++j) {
        for (int i = 0; i < grid.columns(); ++i) {
            const bool park = context.blocks.zones[static_cast<std::size_t>(j) * grid.columns() + i] == BlockZone::Park;
            if (!park || !grid.blockInCity(i, j) || !context.random.chance(0.5))
                continue;
            const QPointF middle = (grid.node(i, j) + grid.node(i + 1, j + 1)) / 2;
            if (frame.nearRiver(middle, 120))
                continue;
            const std::vector<QPointF> pond = ellipse(middle, context.random.uniform(30, 55),
                                                      context.random.uniform(18, 35), context.random.uniform(0, 3));
            context.writer.add(otWater, pond).Name = QStringLiteral("пруд");
        }
    }
}

void AddStopsAndSigns(FeatureContext& context)
{
    const std::vector<GridStreet>& streets = context.grid.streets();
    for (const GridStreet& street : streets)
        if (street.main && street.kind != StreetKind::Highway)
            addStopsOf(context, street);
    for (int j = 0; j <= context.grid.rows(); ++j)
        for (int i = 0; i <= context.grid.columns(); ++i)
            addIntersectionSigns(context, i, j);
}
