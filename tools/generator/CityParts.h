// What the parts of the city builder share: a writer that turns local-frame
// shapes into numbered map objects, and the division into districts.
#pragma once

#include "Buildings.h"
#include "City.h"

#include <QStringList>

class MapWriter {
public:
    MapWriter(const CityFrame& frame, std::vector<TPMXMapObjectMem>& objects) : frame_(frame), objects_(objects) {}

    // Appends an object with the next ID; its position is the middle of its
    // points (for areas) or the first point (for point objects).
    TPMXMapObjectMem& add(std::int32_t type, const std::vector<QPointF>& localPoints);
    // A point object drawn with an icon of the standard library.
    TPMXMapObjectMem& addIcon(std::int32_t type, QPointF local, const QString& iconName, const QString& name);
    const CityFrame& frame() const { return frame_; }

private:
    const CityFrame& frame_;
    std::vector<TPMXMapObjectMem>& objects_;
};

// Districts are rectangles of blocks; every block belongs to exactly one.
class DistrictMap {
public:
    DistrictMap(const StreetGrid& grid, const CityFrame& frame, Prng& random);
    int districtOf(int blockI, int blockJ) const;
    int districtAt(QPointF local) const;
    const QStringList& names() const { return names_; }
    // The block rectangle of a district: first and one-past-last column and row.
    struct Span {
        int i0, i1, j0, j1;
    };
    const std::vector<Span>& spans() const { return spans_; }

private:
    const StreetGrid& grid_;
    std::vector<int> columnCuts_;
    std::vector<int> rowCuts_;
    std::vector<Span> spans_;
    QStringList names_;
};

// The outline of a rectangle of blocks, walked along the grid's nodes.
std::vector<QPointF> BlockRangeOutline(const StreetGrid& grid, int i0, int i1, int j0, int j1);

// The river, the ponds of the parks, the railway with its station and the
// square before it, the stops along the avenues, the road signs, the
// districts and microdistricts: everything of the map but streets and houses.
struct FeatureContext {
    const StreetGrid& grid;
    const BlockPlan& blocks;
    const DistrictMap& districts;
    MapWriter& writer;
    Prng& random;
    City& city;
};
void AddAreas(FeatureContext& context);
void AddWater(FeatureContext& context);

// Where the railway station stands: on the railway, at the point nearest to
// the city centre, facing the centre.
struct StationSite {
    QPointF track;
    QPointF along;  // unit vector along the railway
    QPointF toCity; // unit vector from the railway towards the centre
    QPointF building() const { return track + toCity * 60; }
};
StationSite FindStationSite(const CityFrame& frame);
// The railway, the station building and the square before it with a stop;
// the square becomes a street of the city and the station an address.
void AddRailwayAndStation(FeatureContext& context, const StationSite& site);
void AddStopsAndSigns(FeatureContext& context);
