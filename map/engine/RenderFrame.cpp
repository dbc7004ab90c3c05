#include "RenderFrame.h"

#include "FrameWorkers.h"
#include "MapStyle.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <future>
#include <thread>
#include <utility>

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

// Below this many positions to mark a second thread costs more than it saves.
constexpr std::size_t kPositionsForASecondThread = 100000;

// Asking the spatial index costs about this many times as much per object
// as walking the objects by size: for a view of much of the map the walk
// over those larger than a pixel is the cheaper, close up the index.
constexpr double kIndexCostPerWalkedObject = 8;

bool meets(const MapBox& box, const QRectF& area)
{
    return box.maxX >= area.left() && box.minX <= area.right() && box.maxY >= area.top() && box.minY <= area.bottom();
}

// How much of the extent's area lies in the view, 0 to 1; 1 for a map without area.
double shareOfExtentInView(const QRectF& area, const QRectF& extent)
{
    const double whole = extent.width() * extent.height();
    if (whole <= 0)
        return 1;
    const QRectF shared = area.intersected(extent);
    return shared.width() * shared.height() / whole;
}

// How far beyond its box an object may be drawn: the widest road or
// railway at this scale, a few pixels of outline and smoothing, and the
// roofs of the 3D view.
double reachBeyondBoxes(const RenderFrame& frame)
{
    double widest = MapStyle::railwayStyle(true, frame.ppm).sleeperWidth;
    for (std::size_t kind = 0; kind < kRoadClassCount; ++kind) {
        const RoadStyle road = MapStyle::roadStyle(static_cast<std::uint8_t>(kind), frame.ppm);
        widest = std::max({widest, road.fillWidth, road.casingWidth});
    }
    constexpr double kOutlineAndSmoothing = 4;
    return widest + kOutlineAndSmoothing + frame.buildingLift * kTallestFloors;
}

void keepMinorRoadsOfAMapWithoutOthers(RenderFrame& frame, VisibleObjects& minorRoads)
{
    VisibleObjects& roads = frame.visible[otRoad];
    if (roads.empty())
        std::swap(roads, minorRoads);
}

// Hands the positions marked in words [from, to) to `consider`, in list order.
template <typename Consider>
void considerMarked(const std::vector<std::uint64_t>& marked, std::size_t from, std::size_t to, Consider consider)
{
    for (std::size_t word = from; word < to; ++word)
        for (std::uint64_t bits = marked[word]; bits != 0; bits &= bits - 1)
            consider(static_cast<int>(word * 64 + static_cast<std::size_t>(std::countr_zero(bits))));
}

template <typename Consider> void considerMarked(const std::vector<std::uint64_t>& marked, Consider consider)
{
    considerMarked(marked, 0, marked.size(), consider);
}

// The word before which half of the marks lie.
std::size_t wordHalvingMarks(const std::vector<std::uint64_t>& marked)
{
    std::size_t total = 0;
    for (std::uint64_t word : marked)
        total += static_cast<std::size_t>(std::popcount(word));
    std::size_t before = 0;
    std::size_t word = 0;
    for (; word < marked.size() && 2 * before < total; ++word)
        before += static_cast<std::size_t>(std::popcount(marked[word]));
    return word;
}

void appendAfter(VisibleObjects& lists, const VisibleObjects& more)
{
    lists.positions.insert(lists.positions.end(), more.positions.begin(), more.positions.end());
    lists.boxes.insert(lists.boxes.end(), more.boxes.begin(), more.boxes.end());
}

// Considers the marks of a large walk on two threads: the later half of the
// list into lists of its own, put after those of the earlier half, so that
// the lists keep the list's order.
template <typename ConsiderInto>
void considerInHalves(const std::vector<std::uint64_t>& marked, ConsiderInto considerInto, VisibleByType& visible,
                      VisibleObjects& leftOut)
{
    VisibleByType later;
    VisibleObjects laterLeftOut;
    const std::size_t half = wordHalvingMarks(marked);
    std::future<void> laterHalf = FrameWorkers::shared().run(
        [&] { considerMarked(marked, half, marked.size(), considerInto(later, laterLeftOut)); });
    considerMarked(marked, 0, half, considerInto(visible, leftOut));
    laterHalf.get();
    for (std::size_t type = 0; type < later.size(); ++type)
        appendAfter(visible[type], later[type]);
    appendAfter(leftOut, laterLeftOut);
}

} // namespace

RenderFrame::RenderFrame(const RenderScene& scene, QPainter& painter, const QRect& target)
    : scene(scene), painter(painter), transform(scene.view, target.topLeft()), pixels(target),
      ppm(scene.view.pixelsPerMetre()),
      buildingLift(scene.options.View3D ? MapStyle::kStoreyHeight * scene.view.pixelsPerMetre() : 0)
{
}

RenderFrame::RenderFrame(const RenderFrame& whole, QPainter& painter, const QRect& band,
                         VisibleByType recycled)
    : scene(whole.scene), painter(painter), transform(whole.transform), pixels(band), ppm(whole.ppm),
      buildingLift(whole.buildingLift), visible(std::move(recycled))
{
    // A hook may restyle an object beyond any width known here: the types
    // it sees are kept whole, and what lies outside the band is cut away
    // when drawn.
    const bool areasHooked = static_cast<bool>(scene.onPaintObject);
    const bool linesHooked = static_cast<bool>(scene.onPaintPolyLine);
    const double reach = reachBeyondBoxes(*this);
    // Compared in map units: tens of thousands of boxes are not each turned into pixels.
    const QRectF near = transform.toMap(pixels.adjusted(-reach, -reach, reach, reach));
    for (std::size_t type = 0; type < visible.size(); ++type) {
        if (IsLineType(static_cast<std::int32_t>(type)) ? linesHooked : areasHooked) {
            visible[type] = whole.visible[type];
            continue;
        }
        const VisibleObjects& all = whole.visible[type];
        visible[type].clear();
        for (std::size_t k = 0; k < all.size(); ++k)
            if (meets(all.boxes[k], near))
                visible[type].add(all.positions[k], all.boxes[k]);
    }
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
    const std::span<const std::uint8_t> styles = model.styleCodes();
    const std::span<const MapBox> boxes = model.boxes();
    const bool minorRoads = MapStyle::minorRoadsShown(frame.ppm);
    // Kept aside: a map whose roads are all minor ones shows them after all.
    VisibleObjects minorRoadsLeftOut;
    const auto considerInto = [&](VisibleByType& visible, VisibleObjects& leftOut) {
        return [&](int index) {
            const auto at = static_cast<std::size_t>(index);
            const auto type = std::int32_t{types[at]};
            if (type < 0 || type >= static_cast<std::int32_t>(visible.size()) || !frame.scene.filters.shows(type))
                return;
            const MapBox& box = boxes[at];
            if (!IsPointType(type) && !largeEnough(box, smallestMetres))
                return;
            if (type == otRoad && !minorRoads && MapStyle::isMinorRoad(styles[at])) {
                leftOut.add(index, box);
                return;
            }
            visible[static_cast<std::size_t>(type)].add(index, box);
        };
    };
    const auto consider = considerInto(frame.visible, minorRoadsLeftOut);
    const QRectF extent = model.extent();
    const double objectsInView = shareOfExtentInView(area, extent) * model.GetCount();
    const MapModel::PositionsBySize bySize = model.positionsLargerThan(smallestMetres);
    if (area.contains(extent) || static_cast<double>(bySize.size()) <= kIndexCostPerWalkedObject * objectsInView) {
        // Much of the map is in view: the objects large enough to be drawn
        // are taken by their size, marked, and considered in list order,
        // cheaper than the index and the sorting after it, and than a walk
        // over the million objects smaller than a pixel.
        const bool everything = area.contains(extent);
        const auto count = static_cast<std::size_t>(model.GetCount());
        std::vector<std::uint64_t> marked((count + 63) / 64);
        const auto mark = [&](std::span<const int> positions, std::vector<std::uint64_t>& into) {
            for (std::size_t k = 0; k < positions.size(); ++k) {
                readBoxAhead(boxes, positions, k);
                const auto at = static_cast<std::size_t>(positions[k]);
                if (at < count && (everything || meets(boxes[at], area)))
                    into[at / 64] |= std::uint64_t{1} << (at % 64);
            }
        };
        // Hundreds of thousands of positions: another thread marks half of
        // them into marks of its own, joined to these after.
        std::span<const int> larger = bySize.larger;
        std::vector<std::uint64_t> markedToo;
        std::future<void> otherHalf;
        if (larger.size() >= 2 * kPositionsForASecondThread && std::thread::hardware_concurrency() >= 2) {
            markedToo.assign(marked.size(), 0);
            const std::span<const int> theirs = larger.subspan(larger.size() / 2);
            otherHalf = FrameWorkers::shared().run([&, theirs] { mark(theirs, markedToo); });
            larger = larger.first(larger.size() / 2);
        }
        mark(bySize.points, marked);
        mark(larger, marked);
        if (otherHalf.valid()) {
            otherHalf.get();
            for (std::size_t word = 0; word < marked.size(); ++word)
                marked[word] |= markedToo[word];
            considerInHalves(marked, considerInto, frame.visible, minorRoadsLeftOut);
        } else {
            considerMarked(marked, consider);
        }
        keepMinorRoadsOfAMapWithoutOthers(frame, minorRoadsLeftOut);
        return;
    }
    // The index answers in its own order; taken in list order, overlapping
    // areas stay stacked the same way from frame to frame. Marks put them in
    // that order for less than sorting what the index found.
    std::vector<std::uint64_t> marked((static_cast<std::size_t>(model.GetCount()) + 63) / 64);
    model.query(area, [&marked](int index) {
        const auto at = static_cast<std::size_t>(index);
        marked[at / 64] |= std::uint64_t{1} << (at % 64);
    });
    considerMarked(marked, consider);
    keepMinorRoadsOfAMapWithoutOthers(frame, minorRoadsLeftOut);
}
