// Draws the map with QPainter: culling through the spatial index, level of
// detail by scale, styles per object type, names along streets, district
// names, house numbers, icons and labels without collisions, the 3D view.
#pragma once

#include "MapModel.h"
#include "Viewport.h"

#include <QBrush>
#include <QColor>
#include <QPainter>
#include <QPen>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class IconLibrary;

// A line style record handed to the polyline hook; setting the first byte to
// 1 selects the railway style (a dark line with dashed sleepers).
struct tPmxLine {
    std::uint8_t Style = 0;
    QColor Color;
    double Width = 1;
};

// A large frame is drawn by several threads at once: the hooks are then
// called from all of them, at the same time, and must be safe to call so.
using PaintObjectHook = std::function<void(const TPMXMapObjectMem& object, QPen& pen, QBrush& brush)>;
using PaintPolyLineHook = std::function<void(const TPMXMapObjectMem& object, tPmxLine& line)>;

struct MapOptions {
    bool View3D = false;
    bool NumberDom = true;       // house numbers written on buildings
    int NumberDomSizeFont = 8;   // point size of the house numbers
    bool AllMapAfterLoad = false;
    double StepLinza = 2;        // zoom factor of one step of the scale instrument
};

// Which object types are drawn. With the filter off every type is drawn.
struct MapFilters {
    bool enabled = false;
    std::array<bool, 10> massiv{true, true, true, true, true, true, true, true, true, true};
    std::array<bool, 10> kateg{true, true, true, true, true, true, true, true, true, true};
    bool shows(std::int32_t type) const
    {
        if (!enabled || type < 0 || type >= 10)
            return true;
        return massiv[type] && kateg[type];
    }
};

struct RenderScene {
    const MapModel& model;
    const IconLibrary* icons = nullptr;
    const Viewport& view;
    MapFilters filters;
    MapOptions options;
    PaintObjectHook onPaintObject;
    PaintPolyLineHook onPaintPolyLine;
    std::vector<MapPoint> measureLine;      // map points of a measurement under way
    std::optional<QRectF> zoomRectangle;    // pixels: the scale instrument's dragged box
    QString attribution;                    // written small in the bottom right corner; empty: none
    std::vector<MapPoint> route;            // map points of a route shown over the roads; empty: none
};

class LabelCaches;
struct FrameLists;

// Draws frames of a scene. It keeps what is worth reusing between frames
// (laid-out house numbers, icons), so one renderer belongs to one view.
class MapRenderer {
public:
    MapRenderer();
    ~MapRenderer();
    MapRenderer(MapRenderer&&) noexcept;
    MapRenderer& operator=(MapRenderer&&) noexcept;

    // Paints the scene into target: the view's pixel (0, 0) lands on the
    // target's top-left corner, and nothing is painted outside the target.
    void render(const RenderScene& scene, QPainter& painter, const QRect& target);

private:
    std::unique_ptr<LabelCaches> caches_;
    std::unique_ptr<FrameLists> lists_;
};
