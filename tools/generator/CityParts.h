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

// Districts: every block belongs to the district whose seed is nearest, so
// their borders run along streets in steps; the centre's seed is the city
// centre. A district's outline follows its blocks that lie in the city.
class DistrictMap {
public:
    DistrictMap(const StreetGrid& grid, const CityFrame& frame, Prng& random);
    int districtOf(int blockI, int blockJ) const;
    int districtAt(QPointF local) const;
    const QStringList& names() const { return names_; }
    // The outline of a district, along the grid's nodes; empty when none of
    // its blocks lies in the city.
    std::vector<QPointF> outline(int district) const;

private:
    const StreetGrid& grid_;
    std::vector<QPointF> seeds_; // in block units
    std::vector<int> blocks_;    // district per block, i + j * columns
    QStringList names_;
};

// The longest closed outline of a set of blocks (given per block, i + j *
// columns), walked along the grid's nodes with the blocks on its left.
std::vector<QPointF> BlockSetOutline(const StreetGrid& grid, const std::vector<bool>& blocks);


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
