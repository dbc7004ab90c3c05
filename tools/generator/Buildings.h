// Buildings along the streets of a city's blocks, in the manner of a Russian
// city: closed rows of old houses in the centre, nine- and sixteen-storey
// panel blocks with houses in the courtyards around it, wooden private
// houses with their sheds on the edges, warehouses by the railway.
#pragma once

#include "StreetGrid.h"

#include <QString>

#include <vector>

enum class BlockZone { Centre, Panel, Private, Industrial, Park };

struct PlacedBuilding {
    std::vector<QPointF> corners; // local frame
    int street = -1;              // grid street it is numbered on, -1: no address
    bool oddSide = false;         // on the left of the street's direction
    double along = 0;             // position along the street
    bool courtyard = false;       // inside the block: numbered as a "корпус"
    int floors = 1;
    int blockI = 0;
    int blockJ = 0;
    QString house; // filled in by the numbering
};

struct BlockPlan {
    std::vector<BlockZone> zones; // per block, i + j * columns
    std::vector<PlacedBuilding> buildings;
};

BlockPlan PlaceBuildings(const StreetGrid& grid, const CityFrame& frame, Prng& random);

// Gives every building with a street its house number: odd on the left of
// the street's direction and even on the right, counted from its start, with
// the "12а" and "12 корп. 2" forms where houses were squeezed in or stand in
// a courtyard.
void NumberHouses(std::vector<PlacedBuilding>& buildings, Prng& random);
