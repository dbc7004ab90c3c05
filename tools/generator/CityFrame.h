// The shape of a city before anything is placed: its size, the turn of its
// street grid, the course of its river and of its railway. The layout works
// in a local frame (u along the grid's columns, v along its rows, metres)
// that the frame turns and moves into map units.
#pragma once

#include "City.h"

#include <QPointF>
#include <QString>

#include <vector>

// What makes the two cities different at any scale.
struct CityCharacter {
    double rotationDegrees = 0;
    double meanBlock = 200; // metres between streets
    double width = 9000;    // local frame size in metres at the plan's scale
    double height = 8000;
    double riverAt = 0.5;   // river centre line at this fraction of the height
    double riverAmplitude = 300;
    double riverWavelength = 4000;
    double riverHalfWidth = 70;
    bool railwayAlongU = true; // else along v
    double railwayAt = 0.15;   // fraction of the other dimension
    int postPrefix = 644;      // first three digits of the city's post indexes
    QString riverName;
};

CityCharacter CharacterOf(const CityPlan& plan);

class CityFrame {
public:
    explicit CityFrame(const CityCharacter& character);

    const CityCharacter& character() const { return character_; }
    MapPoint toMap(QPointF local) const;

    // The river runs along u; its centre line and half width at u.
    double riverCentre(double u) const;
    double riverHalfWidth(double u) const;
    // True when the point lies within margin metres of the river's banks.
    bool nearRiver(QPointF local, double margin) const;
    // True when a segment crosses the river's centre line.
    bool crossesRiver(QPointF from, QPointF to) const;

    const std::vector<QPointF>& railway() const { return railway_; }
    double railwayDistance(QPointF local) const;

    // 0 at the city centre, about 1 at the middle of its edges.
    double centreDistance(QPointF local) const;
    QPointF centre() const { return {character_.width * 0.5, character_.height * 0.5}; }

private:
    CityCharacter character_;
    double cosine_ = 1;
    double sine_ = 0;
    double phase_ = 0;
    std::vector<QPointF> railway_;
};
