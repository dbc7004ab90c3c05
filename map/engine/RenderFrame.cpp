#include "RenderFrame.h"

#include "MapStyle.h"

#include <algorithm>

namespace {

// The oblique projection of the 3D view: a metre of height moves a point this
// many metres of the ground's scale right and up the screen. Heights are
// drawn at half their size, which keeps towers from hiding whole blocks.
constexpr double kObliqueRight = 0.25;
constexpr double kObliqueUp = 0.5;
// The tallest building the culling allows for, in storeys.
constexpr int kTallestFloors = 40;

// Whether a map box is at least a pixel large, a pixel being smallestMetres.
bool largeEnough(const MapBox& box, double smallestMetres)
{
    return std::max(box.maxX - box.minX, box.maxY - box.minY) >= smallestMetres;
}

} // namespace

RenderFrame::RenderFrame(const RenderScene& scene, QPainter& painter, const QRect& target)
    : scene(scene), painter(painter), transform(scene.view, target.topLeft()), pixels(target),
      ppm(scene.view.pixelsPerMetre()),
      buildingLift(scene.options.View3D ? MapStyle::kStoreyHeight * scene.view.pixelsPerMetre() : 0)
{
}

QPointF RenderFrame::roofOffset(const TPMXMapObjectMem& building) const
{
    const int floors = building.Floors > 0 ? building.Floors : MapStyle::kDefaultFloors;
    const double lift = floors * buildingLift;
    return {lift * kObliqueRight, -lift * kObliqueUp};
}

void collectVisible(RenderFrame& frame)
{
    for (auto& bucket : frame.visible)
        bucket.clear();
    const double margin = frame.buildingLift * kTallestFloors;
    const QRectF area = frame.transform.toMap(frame.pixels.adjusted(-margin, -margin, margin, margin));
    const MapModel& model = frame.scene.model;
    const double smallestMetres = 1.0 / frame.ppm;
    const std::span<const std::int8_t> types = model.types();
    const std::span<const MapBox> boxes = model.boxes();
    const auto consider = [&](int index) {
        const std::int32_t type = types[static_cast<std::size_t>(index)];
        if (type < 0 || type >= static_cast<std::int32_t>(frame.visible.size()) || !frame.scene.filters.shows(type))
            return;
        if (!IsPointType(type) && !largeEnough(boxes[static_cast<std::size_t>(index)], smallestMetres))
            return;
        frame.visible[static_cast<std::size_t>(type)].push_back(index);
    };
    if (area.contains(model.extent())) {
        // The whole map is in view: a plain walk is cheaper than the index.
        // An empty position has no type, so consider passes over it.
        for (int index = 0, count = model.GetCount(); index < count; ++index)
            consider(index);
        return;
    }
    model.query(area, consider);
    // The index answers in its own order; the list order keeps overlapping
    // areas stacked the same way from frame to frame.
    for (auto& bucket : frame.visible)
        std::sort(bucket.begin(), bucket.end());
}
