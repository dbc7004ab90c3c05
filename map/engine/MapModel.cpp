#include "MapModel.h"

#include <boost/geometry.hpp>
#include <boost/geometry/index/rtree.hpp>

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <unordered_map>
#include <utility>

namespace bg = boost::geometry;
namespace bgi = boost::geometry::index;

namespace {

using Point = bg::model::point<float, 2, bg::cs::cartesian>;
using Box = bg::model::box<Point>;
using Entry = std::pair<Box, int>;
using Tree = bgi::rtree<Entry, bgi::quadratic<16>>;

MapBox boxOf(const TPMXMapObjectMem& object)
{
    if (object.Geometry.empty())
        return {object.X, object.Y, object.X, object.Y};
    float minX = std::numeric_limits<float>::max();
    float minY = minX;
    float maxX = std::numeric_limits<float>::lowest();
    float maxY = maxX;
    for (const MapPoint& p : object.Geometry) {
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    return {minX, minY, maxX, maxY};
}

Box treeBox(const MapBox& box) { return Box(Point(box.minX, box.minY), Point(box.maxX, box.maxY)); }

bool sameBox(const MapBox& a, const MapBox& b)
{
    return a.minX == b.minX && a.minY == b.minY && a.maxX == b.maxX && a.maxY == b.maxY;
}

// Types outside the small range the map knows are kept as -1: no layer draws them.
std::int8_t compactType(std::int32_t type)
{
    if (type < 0 || type > std::numeric_limits<std::int8_t>::max())
        return -1;
    return static_cast<std::int8_t>(type);
}

QRectF rectOf(const Box& box)
{
    const Point& lo = box.min_corner();
    const Point& hi = box.max_corner();
    return QRectF(QPointF(lo.get<0>(), lo.get<1>()), QPointF(hi.get<0>(), hi.get<1>()));
}

} // namespace

// The positions of the objects with an extent grouped by the size of their
// boxes in powers of two, largest first, and the positions of the point
// objects, which have none.
struct SizeClasses {
    static constexpr int kSmallest = -16; // 1/65536 of a map unit and below
    static constexpr int kLargest = 40;
    static constexpr int kCount = kLargest - kSmallest + 1;
    bool built = false;
    std::vector<int> positions;
    std::array<std::size_t, kCount + 1> start{}; // class c: positions[start[c], start[c + 1])
    std::vector<int> points;

    static int classOf(double size)
    {
        if (!(size > 0))
            return 0;
        return std::clamp(std::ilogb(size), kSmallest, kLargest) - kSmallest;
    }
};

struct MapModel::Impl {
    std::vector<TPMXMapObjectMem> objects;
    std::vector<MapBox> boxes;
    std::vector<bool> deleted;
    std::vector<std::int8_t> types;
    std::vector<std::uint8_t> styles;
    std::unordered_map<std::int32_t, int> positionOfId;
    Tree tree;
    std::int32_t largestId = 0;
    std::int32_t lowestFreeCandidate = 1;
    // Made with the list, and again when first asked for after a change.
    mutable SizeClasses sizes;

    static double sizeOf(const MapBox& box) { return std::max(box.maxX - box.minX, box.maxY - box.minY); }

    void buildSizeClasses() const
    {
        sizes.positions.clear();
        sizes.points.clear();
        std::array<std::size_t, SizeClasses::kCount> counts{};
        for (std::size_t at = 0; at < objects.size(); ++at)
            if (types[at] >= 0 && !IsPointType(types[at]))
                ++counts[static_cast<std::size_t>(SizeClasses::classOf(sizeOf(boxes[at])))];
        // Largest class first; within a class, in list order.
        sizes.start[0] = 0;
        for (int c = 0; c < SizeClasses::kCount; ++c)
            sizes.start[static_cast<std::size_t>(c) + 1] =
                sizes.start[static_cast<std::size_t>(c)] + counts[static_cast<std::size_t>(SizeClasses::kCount - 1 - c)];
        sizes.positions.resize(sizes.start.back());
        std::array<std::size_t, SizeClasses::kCount> next{};
        for (int c = 0; c < SizeClasses::kCount; ++c)
            next[static_cast<std::size_t>(SizeClasses::kCount - 1 - c)] = sizes.start[static_cast<std::size_t>(c)];
        for (std::size_t at = 0; at < objects.size(); ++at) {
            if (types[at] < 0)
                continue;
            if (IsPointType(types[at])) {
                sizes.points.push_back(static_cast<int>(at));
                continue;
            }
            sizes.positions[next[static_cast<std::size_t>(SizeClasses::classOf(sizeOf(boxes[at])))]++] =
                static_cast<int>(at);
        }
        sizes.built = true;
    }

    // A point object joins the points; any other change groups the sizes anew.
    void sizesChanged(int position, std::int32_t oldType, std::int32_t newType)
    {
        if (!sizes.built)
            return;
        const bool pointsOnly = (oldType < 0 || IsPointType(oldType)) && (newType < 0 || IsPointType(newType));
        if (!pointsOnly) {
            sizes = SizeClasses();
            return;
        }
        if (newType >= 0)
            sizes.points.push_back(position);
    }

    bool isLive(int index) const
    {
        return index >= 0 && index < static_cast<int>(objects.size()) && !deleted[index];
    }

    // Objects appended for a while and deleted again (a category's labels)
    // would otherwise lengthen the list for good, and a list of a million
    // objects that grows now and then is copied whole: deleted positions at
    // the end are given back, so the next appends take them again.
    void dropDeletedTail()
    {
        while (!objects.empty() && deleted.back()) {
            objects.pop_back();
            boxes.pop_back();
            deleted.pop_back();
            types.pop_back();
            styles.pop_back();
        }
    }

    // Gives the object an ID no live object has, remembering the largest.
    void settleId(TPMXMapObjectMem& object, int position)
    {
        const auto taken = positionOfId.find(object.ID);
        const bool clash = taken != positionOfId.end() && taken->second != position;
        if (object.ID <= 0 || clash)
            object.ID = freshId();
        largestId = std::max(largestId, object.ID);
    }

    // The ID after the largest; once a map has used the largest ID there is,
    // the free IDs are sought from 1 upwards (a map holds far fewer objects
    // than there are IDs, so one is always found).
    std::int32_t freshId()
    {
        if (largestId < std::numeric_limits<std::int32_t>::max())
            return largestId + 1;
        while (positionOfId.contains(lowestFreeCandidate))
            ++lowestFreeCandidate;
        return lowestFreeCandidate++;
    }
};

MapModel::MapModel() : impl_(new Impl) {}
MapModel::~MapModel() { delete impl_; }
// The emptied model needs a state of its own; running out of memory there ends the program, as it does
// anywhere in Qt code.
// NOLINTNEXTLINE(bugprone-unhandled-exception-at-new)
MapModel::MapModel(MapModel&& other) noexcept : impl_(std::exchange(other.impl_, new Impl)) {}
MapModel& MapModel::operator=(MapModel&& other) noexcept
{
    std::swap(impl_, other.impl_);
    return *this;
}

void MapModel::clear() { delete std::exchange(impl_, new Impl); }

void MapModel::reserve(int count)
{
    impl_->objects.reserve(count);
    impl_->boxes.reserve(count);
    impl_->deleted.reserve(count);
    impl_->types.reserve(count);
    impl_->styles.reserve(count);
    impl_->positionOfId.reserve(count);
}

void MapModel::assign(std::vector<TPMXMapObjectMem> objects)
{
    clear();
    const int count = static_cast<int>(objects.size());
    impl_->objects = std::move(objects);
    reserve(static_cast<int>(std::max(roomFor(impl_->objects.size()), impl_->objects.capacity())));
    impl_->deleted.assign(impl_->objects.size(), false);
    std::vector<Entry> entries;
    entries.reserve(impl_->objects.size());
    for (int position = 0; position < count; ++position) {
        TPMXMapObjectMem& object = impl_->objects[position];
        impl_->settleId(object, position);
        impl_->positionOfId.emplace(object.ID, position);
        impl_->boxes.push_back(boxOf(object));
        impl_->types.push_back(compactType(object.ObjType));
        impl_->styles.push_back(object.StyleCode);
        entries.emplace_back(treeBox(impl_->boxes.back()), position);
    }
    // The range constructor packs the tree (sort-tile-recursive), which both
    // builds faster and answers queries faster than insertion one by one.
    impl_->tree = Tree(entries.begin(), entries.end());
    // Grouped now rather than by the first far-away frame, which would
    // take the time of several frames for it.
    impl_->buildSizeClasses();
}

int MapModel::GetCount() const { return static_cast<int>(impl_->objects.size()); }

bool MapModel::isDeleted(int index) const { return !impl_->isLive(index); }

const TPMXMapObjectMem& MapModel::object(int index) const
{
    Q_ASSERT(index >= 0 && index < GetCount());
    return impl_->objects[index];
}

std::int32_t MapModel::typeAt(int index) const { return impl_->types[index]; }

std::span<const std::int8_t> MapModel::types() const { return impl_->types; }

std::span<const std::uint8_t> MapModel::styleCodes() const { return impl_->styles; }

std::span<const MapBox> MapModel::boxes() const { return impl_->boxes; }

int MapModel::FindObjectID(std::int32_t id) const
{
    const auto found = impl_->positionOfId.find(id);
    return found == impl_->positionOfId.end() ? -1 : found->second;
}

int MapModel::append(TPMXMapObjectMem object)
{
    const int position = GetCount();
    impl_->settleId(object, position);
    impl_->positionOfId.emplace(object.ID, position);
    impl_->boxes.push_back(boxOf(object));
    impl_->deleted.push_back(false);
    impl_->types.push_back(compactType(object.ObjType));
    impl_->styles.push_back(object.StyleCode);
    impl_->tree.insert(Entry(treeBox(impl_->boxes.back()), position));
    impl_->sizesChanged(position, -1, object.ObjType);
    impl_->objects.push_back(std::move(object));
    return position;
}

bool MapModel::replace(int index, TPMXMapObjectMem object)
{
    if (!impl_->isLive(index))
        return false;
    impl_->settleId(object, index);
    const std::int32_t oldId = impl_->objects[index].ID;
    if (oldId != object.ID) {
        impl_->positionOfId.erase(oldId);
        impl_->positionOfId.emplace(object.ID, index);
    }
    const MapBox box = boxOf(object);
    if (!sameBox(box, impl_->boxes[index])) {
        impl_->tree.remove(Entry(treeBox(impl_->boxes[index]), index));
        impl_->boxes[index] = box;
        impl_->tree.insert(Entry(treeBox(box), index));
    }
    impl_->sizesChanged(index, impl_->types[index], object.ObjType);
    impl_->types[index] = compactType(object.ObjType);
    impl_->styles[index] = object.StyleCode;
    impl_->objects[index] = std::move(object);
    return true;
}

bool MapModel::remove(int index)
{
    if (!impl_->isLive(index))
        return false;
    impl_->tree.remove(Entry(treeBox(impl_->boxes[index]), index));
    impl_->positionOfId.erase(impl_->objects[index].ID);
    impl_->deleted[index] = true;
    impl_->types[index] = -1;
    impl_->styles[index] = 0;
    // The position stays, but its content goes: a deleted object must not
    // keep its geometry and texts in memory.
    impl_->objects[index] = TPMXMapObjectMem{};
    impl_->dropDeletedTail();
    return true;
}

QRectF MapModel::bounds(int index) const
{
    if (index < 0 || index >= GetCount())
        return {};
    const MapBox& box = impl_->boxes[index];
    return QRectF(QPointF(box.minX, box.minY), QPointF(box.maxX, box.maxY));
}

QRectF MapModel::extent() const
{
    if (impl_->tree.empty())
        return {};
    return rectOf(impl_->tree.bounds());
}

MapModel::PositionsBySize MapModel::positionsLargerThan(double smallest) const
{
    if (!impl_->sizes.built)
        impl_->buildSizeClasses();
    const SizeClasses& sizes = impl_->sizes;
    // Classes are powers of two: the one smallest falls in may hold objects
    // up to half its size smaller, which the caller's own check leaves out.
    const int lowest = SizeClasses::classOf(smallest);
    const std::size_t end = sizes.start[static_cast<std::size_t>(SizeClasses::kCount - lowest)];
    return {sizes.points, std::span<const int>(sizes.positions).first(end)};
}

void MapModel::query(const QRectF& box, const std::function<void(int index)>& visit) const
{
    const QRectF normal = box.normalized();
    const Box region(Point(static_cast<float>(normal.left()), static_cast<float>(normal.top())),
                     Point(static_cast<float>(normal.right()), static_cast<float>(normal.bottom())));
    for (auto it = impl_->tree.qbegin(bgi::intersects(region)); it != impl_->tree.qend(); ++it)
        visit(it->second);
}
