// What the main window changes in the map's own drawing: the layers shown at
// a scale, the house numbers and their size, the colour of the selected
// building (green with firms in it, red without), and the railway style.
#pragma once

#include "MapEngine.h"

#include <QColor>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>

class TQuery;

// Scales strictly above these show the detailed layers, and stops, road
// signs and house numbers respectively.
inline constexpr double kLayerTablesThreshold = 500;
inline constexpr double kSmallDetailThreshold = 3000;

// Switches the map's type filters for its current scale (water stays as it is).
void PaintLayers(MapEngine& map);

// The house number font size: scale / 500, halves rounded to the even neighbour.
int HouseNumberFontSize(double scale);
// House numbers off up to scale 3000; above it on, sized for the scale.
void PaintNumberDom(MapEngine& map);

// Windows colour values (low byte red) of the selected building.
inline constexpr unsigned kBuildingWithFirmsColor = 0x008000;
inline constexpr unsigned kBuildingWithoutFirmsColor = 0x0000FF;
QColor ColorFromWindowsValue(unsigned value);
QColor SelectedBuildingColor(int firmCount);

// "SELECT Count(ID) AS CntFirms FROM FirmsAdr WHERE Obj_ID = <id>"
QString CountFirmsSql(std::int32_t objectId);

// The object paint event: recolours the map's current building, counting its
// firms on the scratch query once per painted copy; every other object keeps
// the map's colours. A failing count leaves the map's colour and is reported
// once through the error handler, so a broken edition does not raise a
// message for every frame. Safe to call from the threads that draw a frame
// together: they count one at a time, and the report reaches the handler on
// the application's own thread.
class TSelectedBuildingPainter {
public:
    TSelectedBuildingPainter(const MapEngine& map, TQuery& qTemp,
                             std::function<void(const QString&)> reportError = {});
    void operator()(const TPMXMapObjectMem& object, QPen& pen, QBrush& brush);

private:
    void report(const QString& message);

    const MapEngine& map_;
    TQuery& qTemp_;
    std::function<void(const QString&)> reportError_;
    // Shared by the copies the map makes of its paint event for each frame.
    struct Shared {
        std::mutex counting;
        bool errorReported = false;
    };
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

// The polyline paint event: railways get line style 1.
void DataMapPaintPolyLine(const TPMXMapObjectMem& object, tPmxLine& line);

// Sets the map's object and polyline paint events to the two above.
void InstallPaintHooks(MapEngine& map, TQuery& qTemp, std::function<void(const QString&)> reportError = {});
