// What the drawing steps of one frame share: the scene, the painter, the
// pixel transform and the objects that survived culling, sorted by type.
#pragma once

#include "MapRenderer.h"
#include "RenderGeometry.h"

#include <QPainter>
#include <QRectF>

#include <array>
#include <cstddef>
#include <span>
#include <vector>

// The objects of a frame lie scattered over a list of a million: a loop
// over their positions asks the memory for what it will read this many
// steps on, instead of waiting for each object in turn.
inline constexpr std::size_t kReadAhead = 8;

// Asks for the box of the position kReadAhead steps after positions[k], if
// there is one.
inline void readBoxAhead(std::span<const MapBox> boxes, std::span<const int> positions, std::size_t k)
{
    if (k + kReadAhead >= positions.size())
        return;
    const auto ahead = static_cast<std::size_t>(positions[k + kReadAhead]);
    if (ahead < boxes.size())
        __builtin_prefetch(&boxes[ahead]);
}

// The visible objects of one type, in list order, each with its box: the
// drawing that needs only the boxes (the bands' sorting, far buildings as
// dots) reads them in a row instead of from all over the model's list.
struct VisibleObjects {
    std::vector<int> positions;
    std::vector<MapBox> boxes;

    void add(int position, const MapBox& box)
    {
        positions.push_back(position);
        boxes.push_back(box);
    }
    void clear()
    {
        positions.clear();
        boxes.clear();
    }
    std::size_t size() const { return positions.size(); }
    bool empty() const { return positions.empty(); }
    std::vector<int>::const_iterator begin() const { return positions.begin(); }
    std::vector<int>::const_iterator end() const { return positions.end(); }
};

using VisibleByType = std::array<VisibleObjects, 10>;

struct RenderFrame {
    RenderFrame(const RenderScene& scene, QPainter& painter, const QRect& target);
    // The part of a whole frame inside band (painter coordinates), drawn
    // through a painter of its own: the visible objects are those of the
    // whole frame that may reach into the band, listed in the room of recycled.
    RenderFrame(const RenderFrame& whole, QPainter& painter, const QRect& band, VisibleByType recycled = {});

    const RenderScene& scene;
    QPainter& painter;
    PixelTransform transform;
    QRectF pixels;       // the target rectangle
    double ppm;          // pixels per metre
    double buildingLift; // pixels per storey in the 3D view; 0 in the flat view
    // Visible objects per object type.
    VisibleByType visible;

    const TPMXMapObjectMem& object(int index) const { return scene.model.object(index); }
    QRectF pixelBounds(int index) const { return transform.toPixel(scene.model.bounds(index)); }
    // The same from the model's packed boxes, fetched once with MapModel::boxes.
    QRectF pixelBounds(const MapBox& box) const
    {
        return QRectF(transform.toPixel(box.minX, box.maxY), transform.toPixel(box.maxX, box.minY));
    }
    // The screen offset of a building's roof in the 3D view.
    QPointF roofOffset(const TPMXMapObjectMem& building) const;
};

// Fills frame.visible: objects whose box meets the frame (widened by what
// may stick out of it: roofs in 3D), that the filters let through and that
// are at least a pixel large.
void collectVisible(RenderFrame& frame);
