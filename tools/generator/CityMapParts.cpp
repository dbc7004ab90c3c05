#include "CityParts.h"

#include "Vocabulary.h"

#include <algorithm>
#include <cmath>

TPMXMapObjectMem& MapWriter::add(std::int32_t type, const std::vector<QPointF>& localPoints)
{
    TPMXMapObjectMem object;
    object.ID = static_cast<std::int32_t>(objects_.size()) + 1;
    object.ObjType = type;
    QPointF sum;
    for (const QPointF& point : localPoints) {
        object.Geometry.push_back(frame_.toMap(point));
        sum += point;
    }
    const QPointF anchor = IsAreaType(type) || localPoints.empty()
                               ? sum / std::max<double>(1.0, static_cast<double>(localPoints.size()))
                               : localPoints[localPoints.size() / 2];
    const MapPoint position = frame_.toMap(anchor);
    object.X = position.x;
    object.Y = position.y;
    objects_.push_back(std::move(object));
    return objects_.back();
}

TPMXMapObjectMem& MapWriter::addIcon(std::int32_t type, QPointF local, const QString& iconName, const QString& name)
{
    TPMXMapObjectMem& object = add(type, {});
    const MapPoint position = frame_.toMap(local);
    object.X = position.x;
    object.Y = position.y;
    object.Name = name;
    object.Zametka = TPMXMapZametka{position.x, position.y, QStringLiteral("ICONS.LIB"), iconName};
    return object;
}

std::vector<QPointF> BlockRangeOutline(const StreetGrid& grid, int i0, int i1, int j0, int j1)
{
    std::vector<QPointF> outline;
    for (int i = i0; i < i1; ++i)
        outline.push_back(grid.node(i, j0));
    for (int j = j0; j < j1; ++j)
        outline.push_back(grid.node(i1, j));
    for (int i = i1; i > i0; --i)
        outline.push_back(grid.node(i, j1));
    for (int j = j1; j > j0; --j)
        outline.push_back(grid.node(i0, j));
    return outline;
}

namespace {

// Cuts 0..count into parts of about equal length with uneven borders.
std::vector<int> cuts(Prng& random, int count, int parts)
{
    std::vector<int> borders{0};
    for (int part = 1; part < parts; ++part)
        borders.push_back(std::clamp(count * part / parts + random.range(-2, 2), borders.back() + 1, count - 1));
    borders.push_back(count);
    return borders;
}

int partOf(const std::vector<int>& borders, int index)
{
    const auto above = std::upper_bound(borders.begin(), borders.end(), index);
    return std::clamp(static_cast<int>(above - borders.begin()) - 1, 0, static_cast<int>(borders.size()) - 2);
}

} // namespace

DistrictMap::DistrictMap(const StreetGrid& grid, const CityFrame& frame, Prng& random) : grid_(grid)
{
    const double grow = std::sqrt(grid.columns() / 48.0);
    const int across = std::max(2, static_cast<int>(std::lround(3 * grow)));
    const int down = std::max(2, static_cast<int>(std::lround(3 * std::sqrt(grid.rows() / 42.0))));
    columnCuts_ = cuts(random, grid.columns(), across);
    rowCuts_ = cuts(random, grid.rows(), down);
    for (int row = 0; row < down; ++row)
        for (int column = 0; column < across; ++column)
            spans_.push_back({columnCuts_[column], columnCuts_[column + 1], rowCuts_[row], rowCuts_[row + 1]});

    // The centre's district is "Центральный", one across the river from it
    // "Заречный"; the others take the remaining names in a shuffled order.
    QStringList pool = Vocabulary::districtNames().mid(1);
    pool.removeAll(QStringLiteral("Заречный"));
    for (const AdjectiveName& adjective : Vocabulary::streetAdjectives())
        pool.append(adjective.masculine);
    for (qsizetype k = pool.size() - 1; k > 0; --k)
        pool.swapItemsAt(k, random.range(0, static_cast<int>(k)));
    const int central = districtAt(frame.centre());
    const QPointF centre = frame.centre();
    bool acrossNamed = false;
    for (std::size_t d = 0; d < spans_.size(); ++d) {
        const Span& span = spans_[d];
        const QPointF middle = (grid.node(span.i0, span.j0) + grid.node(span.i1, span.j1)) / 2;
        if (static_cast<int>(d) == central) {
            names_.append(Vocabulary::districtNames().front());
        } else if (!acrossNamed && frame.crossesRiver(centre, middle)) {
            names_.append(QStringLiteral("Заречный"));
            acrossNamed = true;
        } else {
            names_.append(pool.takeFirst());
        }
    }
}

int DistrictMap::districtOf(int blockI, int blockJ) const
{
    const int across = static_cast<int>(columnCuts_.size()) - 1;
    return partOf(rowCuts_, blockJ) * across + partOf(columnCuts_, blockI);
}

int DistrictMap::districtAt(QPointF local) const
{
    int i = 0;
    while (i + 1 < grid_.columns() && grid_.node(i + 1, grid_.rows() / 2).x() < local.x())
        ++i;
    int j = 0;
    while (j + 1 < grid_.rows() && grid_.node(grid_.columns() / 2, j + 1).y() < local.y())
        ++j;
    return districtOf(i, j);
}
