// The engine's object list: objects at stable positions (a deleted object
// leaves its position empty, so the positions of the others never change),
// found by ID in constant time and by area through a spatial index.
#pragma once

#include "MapObject.h"

#include <QRectF>

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

// An object's bounding box in map units, as the list keeps it.
struct MapBox {
    float minX = 0;
    float minY = 0;
    float maxX = 0;
    float maxY = 0;
};

class MapModel {
public:
    MapModel();
    ~MapModel();
    MapModel(MapModel&&) noexcept;
    MapModel& operator=(MapModel&&) noexcept;

    void clear();
    void reserve(int count);
    // Replaces the whole list at once and builds the spatial index in one
    // packed pass, much faster than appending one by one. Objects keep their
    // IDs; an ID of 0 or below, or one already taken, gets a fresh one.
    void assign(std::vector<TPMXMapObjectMem> objects);
    // The room a list of `count` loaded objects is given: labels and notes
    // are added after loading, and without room the first of them would
    // double a list of a million objects while the old one is still alive.
    static std::size_t roomFor(std::size_t count) { return count + count / 32 + 4096; }

    // Positions 0..GetCount()-1; a deleted position stays counted but empty.
    int GetCount() const;
    bool isDeleted(int index) const;
    const TPMXMapObjectMem& object(int index) const;
    // The type of the object at a position, from a compact list kept beside
    // the records: culling a frame reads it for every object in view without
    // touching the records themselves. -1 for an empty position.
    std::int32_t typeAt(int index) const;
    // The same for all positions at once.
    std::span<const std::int8_t> types() const;
    // The style codes (a road's class) of all positions, kept the same way:
    // a far-away frame leaves out minor roads without reading their records.
    std::span<const std::uint8_t> styleCodes() const;

    // The position of the live object with that ID, or -1.
    int FindObjectID(std::int32_t id) const;

    // Appends at the end and returns the new position. An ID of 0 or below, or
    // one a live object already has, is replaced by a fresh one (one above the
    // largest ever used).
    int append(TPMXMapObjectMem object);
    // Replaces the object at a live position (geometry and index follow); false
    // for a position out of range or empty. A new ID that another live object
    // has is replaced by a fresh one, so IDs stay unique.
    bool replace(int index, TPMXMapObjectMem object);
    // Empties a position; false when it is out of range or already empty.
    bool remove(int index);

    // Bounding box of an object in map units (a point object: a zero-size box).
    QRectF bounds(int index) const;
    // The boxes of all positions in one packed array, for loops over many
    // objects that must not touch the records (an empty position keeps the box
    // it had: check its type).
    std::span<const MapBox> boxes() const;
    // The box around every live object; empty for an empty map.
    QRectF extent() const;

    // Calls visit(index) for every live object whose bounding box meets box.
    void query(const QRectF& box, const std::function<void(int index)>& visit) const;
    // The positions of every point object, and of every object whose box is
    // at least smallest across in its larger side and of a few a little
    // smaller, in no particular order; some may have been emptied since
    // (check the type) or lie past the end of a list that shrank (check the
    // count). A frame of the whole city shows a few ten thousand of a
    // million objects: the others, smaller than a pixel, are never looked
    // at. The grouping by size is made with the list, and again on the first
    // call after it changed other than by points (a category's labels come
    // and go without it). The positions hold until the list changes.
    struct PositionsBySize {
        std::span<const int> points;
        std::span<const int> larger;
        std::size_t size() const { return points.size() + larger.size(); }
    };
    PositionsBySize positionsLargerThan(double smallest) const;

private:
    struct Impl;
    Impl* impl_;
};
