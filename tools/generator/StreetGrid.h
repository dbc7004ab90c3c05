// The street network of a city: a grid of slightly uneven blocks whose lines
// run unbroken where they are avenues, stop at the river where they are not,
// and fade out at the city's irregular edge; each run of a line is a street
// with a name of its own.
#pragma once

#include "CityFrame.h"
#include "StreetNames.h"

#include <QPointF>

#include <vector>

struct GridStreet {
    std::vector<QPointF> points; // local frame, in the street's direction
    bool vertical = false;       // runs along v (north in the local frame)
    int line = 0;                // grid line index
    StreetKind kind = StreetKind::Street;
    bool main = false;
};

class StreetGrid {
public:
    StreetGrid(const CityFrame& frame, Prng& random, StreetNamer& namer);

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    QPointF node(int i, int j) const { return nodes_[index(i, j)]; }
    bool insideCity(int i, int j) const { return inside_[index(i, j)]; }
    bool mainColumn(int i) const { return mainColumns_[i]; }
    bool mainRow(int j) const { return mainRows_[j]; }
    // The street of the segment from node (i, j) to (i, j+1), or -1.
    int verticalStreet(int i, int j) const { return verticalStreets_[i * rows_ + j]; }
    // The street of the segment from node (i, j) to (i+1, j), or -1.
    int horizontalStreet(int i, int j) const { return horizontalStreets_[j * columns_ + i]; }
    // A block exists where all four corners lie in the city.
    bool blockInCity(int i, int j) const;

    const std::vector<GridStreet>& streets() const { return streets_; }
    const std::vector<QString>& names() const { return names_; }

private:
    std::size_t index(int i, int j) const { return static_cast<std::size_t>(j) * (columns_ + 1) + i; }
    void placeNodes(const CityFrame& frame, Prng& random);
    void chooseMainLines(Prng& random);
    bool segmentExists(const CityFrame& frame, QPointF from, QPointF to, bool main, bool inside) const;
    void traceLine(const CityFrame& frame, Prng& random, StreetNamer& namer, bool vertical, int line);
    void addStreet(GridStreet street, StreetNamer& namer, const std::vector<int*>& segments);

    int columns_ = 0;
    int rows_ = 0;
    std::vector<QPointF> nodes_;
    std::vector<bool> inside_;
    std::vector<bool> mainColumns_;
    std::vector<bool> mainRows_;
    std::vector<int> verticalStreets_;
    std::vector<int> horizontalStreets_;
    std::vector<GridStreet> streets_;
    std::vector<QString> names_;
};
