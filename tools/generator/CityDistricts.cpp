#include "CityParts.h"

#include "Vocabulary.h"

#include <cmath>
#include <map>

namespace {

QPointF blockMiddle(int i, int j) { return {i + 0.5, j + 0.5}; }

double squaredDistance(QPointF a, QPointF b)
{
    const QPointF d = a - b;
    return d.x() * d.x() + d.y() * d.y();
}

// Districts names: the centre's is "Центральный", one across the river from
// it "Заречный"; the others take the remaining names in a shuffled order.
QStringList nameDistricts(const std::vector<QPointF>& middles, const CityFrame& frame, int central, Prng& random)
{
    QStringList pool = Vocabulary::districtNames().mid(1);
    pool.removeAll(QStringLiteral("Заречный"));
    for (const AdjectiveName& adjective : Vocabulary::streetAdjectives())
        pool.append(adjective.masculine);
    for (qsizetype k = pool.size() - 1; k > 0; --k)
        pool.swapItemsAt(k, random.range(0, static_cast<int>(k)));
    QStringList names;
    bool acrossNamed = false;
    for (std::size_t d = 0; d < middles.size(); ++d) {
        if (static_cast<int>(d) == central) {
            names.append(Vocabulary::districtNames().front());
        } else if (!acrossNamed && frame.crossesRiver(frame.centre(), middles[d])) {
            names.append(QStringLiteral("Заречный"));
            acrossNamed = true;
        } else {
            names.append(pool.takeFirst());
        }
    }
    return names;
}

} // namespace

DistrictMap::DistrictMap(const StreetGrid& grid, const CityFrame& frame, Prng& random) : grid_(grid)
{
    const int across = std::max(2, static_cast<int>(std::lround(3 * std::sqrt(grid.columns() / 50.0))));
    const int down = std::max(2, static_cast<int>(std::lround(3 * std::sqrt(grid.rows() / 44.0))));
    const double cellU = static_cast<double>(grid.columns()) / across;
    const double cellV = static_cast<double>(grid.rows()) / down;
    for (int row = 0; row < down; ++row)
        for (int column = 0; column < across; ++column)
            seeds_.emplace_back((column + 0.5 + random.uniform(-0.3, 0.3)) * cellU,
                                (row + 0.5 + random.uniform(-0.3, 0.3)) * cellV);
    // The seed nearest to the centre moves onto it: the centre's district.
    const QPointF centre(grid.columns() / 2.0, grid.rows() / 2.0);
    int central = 0;
    for (std::size_t d = 1; d < seeds_.size(); ++d)
        if (squaredDistance(seeds_[d], centre) < squaredDistance(seeds_[static_cast<std::size_t>(central)], centre))
            central = static_cast<int>(d);
    seeds_[static_cast<std::size_t>(central)] = centre;

    for (int j = 0; j < grid.rows(); ++j) {
        for (int i = 0; i < grid.columns(); ++i) {
            int nearest = 0;
            for (std::size_t d = 1; d < seeds_.size(); ++d)
                if (squaredDistance(seeds_[d], blockMiddle(i, j)) <
                    squaredDistance(seeds_[static_cast<std::size_t>(nearest)], blockMiddle(i, j)))
                    nearest = static_cast<int>(d);
            blocks_.push_back(nearest);
        }
    }
    std::vector<QPointF> middles;
    for (const QPointF& seed : seeds_) {
        const int i = std::clamp(static_cast<int>(seed.x()), 0, grid.columns() - 1);
        const int j = std::clamp(static_cast<int>(seed.y()), 0, grid.rows() - 1);
        middles.push_back((grid.node(i, j) + grid.node(i + 1, j + 1)) / 2);
    }
    names_ = nameDistricts(middles, frame, central, random);
}

int DistrictMap::districtOf(int blockI, int blockJ) const
{
    const int i = std::clamp(blockI, 0, grid_.columns() - 1);
    const int j = std::clamp(blockJ, 0, grid_.rows() - 1);
    return blocks_[static_cast<std::size_t>(j) * grid_.columns() + i];
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

std::vector<QPointF> DistrictMap::outline(int district) const
{
    std::vector<bool> mine(blocks_.size(), false);
    for (int j = 0; j < grid_.rows(); ++j)
        for (int i = 0; i < grid_.columns(); ++i)
            mine[static_cast<std::size_t>(j) * grid_.columns() + i] =
                blocks_[static_cast<std::size_t>(j) * grid_.columns() + i] == district && grid_.blockInCity(i, j);
    return BlockSetOutline(grid_, mine);
}

std::vector<QPointF> BlockSetOutline(const StreetGrid& grid, const std::vector<bool>& blocks)
{
    const int columns = grid.columns();
    const int rows = grid.rows();
    auto in = [&](int i, int j) {
        return i >= 0 && j >= 0 && i < columns && j < rows && blocks[static_cast<std::size_t>(j) * columns + i];
    };
    // Border edges between nodes, keyed by their start node (i, j); each
    // runs with its block on the left.
    std::multimap<std::pair<int, int>, std::pair<int, int>> edges;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            if (!in(i, j))
                continue;
            if (!in(i, j - 1))
                edges.insert({{i, j}, {i + 1, j}});
            if (!in(i + 1, j))
                edges.insert({{i + 1, j}, {i + 1, j + 1}});
            if (!in(i, j + 1))
                edges.insert({{i + 1, j + 1}, {i, j + 1}});
            if (!in(i - 1, j))
                edges.insert({{i, j + 1}, {i, j}});
        }
    }
    std::vector<QPointF> longest;
    while (!edges.empty()) {
        std::vector<QPointF> loop;
        auto edge = edges.begin();
        const std::pair<int, int> start = edge->first;
        std::pair<int, int> at = start;
        do {
            loop.push_back(grid.node(at.first, at.second));
            const std::pair<int, int> next = edge->second;
            edges.erase(edge);
            at = next;
            edge = edges.find(at);
        } while (at != start && edge != edges.end());
        if (loop.size() > longest.size())
            longest = std::move(loop);
    }
    return longest;
}
