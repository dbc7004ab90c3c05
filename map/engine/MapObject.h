// One object of the city map, as the map file stores it and the engine keeps
// it in its object list. Map units are metres on a plane, x east, y north.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// Object type codes: 0..8 are the map's own kinds, 9 marks a label that the
// program places (drawn with an icon of the icon library).
enum MapObjectType : std::int32_t {
    otBuilding = 0,
    otMicrodistrict = 1,
    otRoad = 2, // "по умолчанию": roads and streets, carrying their street name
    otRailway = 3,
    otDistrict = 4,
    otDistrict2 = 5,
    otWater = 6,
    otStop = 7,
    otRoadSign = 8,
    otLabel = 9,
};

struct MapPoint {
    float x = 0;
    float y = 0;
};

// The icon a label or point is drawn with: a library name and an icon name in it.
struct TPMXMapZametka {
    float X = 0;
    float Y = 0;
    QString LibName; // at most 30 characters, e.g. "ICONS.LIB"
    QString IconName; // e.g. "OK.BMP"
};

// An optional value kept on the heap, copied with its owner. Few objects of
// a city carry an icon: held in place, the room for one would be a third of
// every object, 56 MB of a million-object city's map for nothing.
template <typename T> class HeapOptional {
public:
    HeapOptional() = default;
    HeapOptional(const HeapOptional& other) : value_(other ? std::make_unique<T>(*other) : nullptr) {}
    HeapOptional(HeapOptional&&) noexcept = default;
    ~HeapOptional() = default;
    HeapOptional& operator=(const HeapOptional& other)
    {
        if (this != &other)
            value_ = other ? std::make_unique<T>(*other) : nullptr;
        return *this;
    }
    HeapOptional& operator=(HeapOptional&&) noexcept = default;
    HeapOptional& operator=(T value)
    {
        value_ = std::make_unique<T>(std::move(value));
        return *this;
    }

    bool has_value() const { return value_ != nullptr; }
    explicit operator bool() const { return has_value(); }
    const T& operator*() const { return *value_; }
    T& operator*() { return *value_; }
    const T* operator->() const { return value_.get(); }
    T* operator->() { return value_.get(); }
    void reset() { value_.reset(); }

    friend bool operator==(const HeapOptional& a, const HeapOptional& b)
    {
        return a.has_value() == b.has_value() && (!a || *a == *b);
    }

private:
    std::unique_ptr<T> value_;
};

struct TPMXMapObjectMem {
    std::int32_t ID = 0;
    std::int32_t ObjType = otBuilding;
    float X = 0; // a point inside an area, the position of a point object
    float Y = 0;
    bool HasAddress = false;
    QString Street;
    QString House; // at most 255 characters
    std::int32_t DisplayParam = 0;
    std::uint8_t StyleCode = 0;

    QString Name; // a district's, microdistrict's, water body's or station's own name
    std::int32_t Floors = 0; // buildings: storeys, for the 3D view

    // Polygons (types 0, 1, 4, 5, 6) are closed rings without the repeated
    // first point; polylines (2, 3) are open; points (7, 8, 9) have none.
    std::vector<MapPoint> Geometry;
    HeapOptional<TPMXMapZametka> Zametka;
};

// Written out rather than defaulted: the Mapnik comparison in the benchmarks
// includes this header in a C++17 unit.
inline bool operator==(const MapPoint& a, const MapPoint& b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(const MapPoint& a, const MapPoint& b) { return !(a == b); }
inline bool operator==(const TPMXMapZametka& a, const TPMXMapZametka& b)
{
    return a.X == b.X && a.Y == b.Y && a.LibName == b.LibName && a.IconName == b.IconName;
}
inline bool operator!=(const TPMXMapZametka& a, const TPMXMapZametka& b) { return !(a == b); }
inline bool operator==(const TPMXMapObjectMem& a, const TPMXMapObjectMem& b)
{
    return a.ID == b.ID && a.ObjType == b.ObjType && a.X == b.X && a.Y == b.Y && a.HasAddress == b.HasAddress &&
           a.Street == b.Street && a.House == b.House && a.DisplayParam == b.DisplayParam &&
           a.StyleCode == b.StyleCode && a.Name == b.Name && a.Floors == b.Floors && a.Geometry == b.Geometry &&
           a.Zametka == b.Zametka;
}
inline bool operator!=(const TPMXMapObjectMem& a, const TPMXMapObjectMem& b) { return !(a == b); }

inline constexpr bool IsAreaType(std::int32_t type)
{
    return type == otBuilding || type == otMicrodistrict || type == otDistrict || type == otDistrict2 ||
           type == otWater;
}
inline constexpr bool IsLineType(std::int32_t type) { return type == otRoad || type == otRailway; }
inline constexpr bool IsPointType(std::int32_t type)
{
    return type == otStop || type == otRoadSign || type == otLabel;
}
