// The object list: stable positions, IDs, and the spatial index checked
// against a linear scan on random data.
#include "MapModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

TPMXMapObjectMem building(std::int32_t id, float x, float y, float size)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = otBuilding;
    object.X = x + size / 2;
    object.Y = y + size / 2;
    object.Geometry = {{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}};
    return object;
}

TPMXMapObjectMem point(std::int32_t id, float x, float y)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = otStop;
    object.X = x;
    object.Y = y;
    return object;
}

std::set<int> queried(const MapModel& model, const QRectF& box)
{
    std::set<int> found;
    model.query(box, [&](int index) { found.insert(index); });
    return found;
}

std::set<int> scanned(const MapModel& model, const QRectF& box)
{
    std::set<int> found;
    for (int i = 0; i < model.GetCount(); ++i) {
        if (model.isDeleted(i))
            continue;
        const QRectF b = model.bounds(i);
        const bool meets = b.left() <= box.right() && box.left() <= b.right() && b.top() <= box.bottom() &&
                           box.top() <= b.bottom();
        if (meets)
            found.insert(i);
    }
    return found;
}

} // namespace

TEST(MapModel, PositionsStayWhenObjectsAreDeleted)
{
    MapModel model;
    EXPECT_EQ(model.append(building(10, 0, 0, 10)), 0);
    EXPECT_EQ(model.append(building(20, 20, 0, 10)), 1);
    EXPECT_EQ(model.append(point(30, 5, 5)), 2);

    EXPECT_TRUE(model.remove(1));
    EXPECT_FALSE(model.remove(1));
    EXPECT_FALSE(model.remove(7));
    EXPECT_EQ(model.GetCount(), 3);
    EXPECT_TRUE(model.isDeleted(1));
    EXPECT_EQ(model.FindObjectID(20), -1);
    EXPECT_EQ(model.FindObjectID(30), 2);
    EXPECT_EQ(model.object(2).ID, 30);
    EXPECT_EQ(queried(model, QRectF(15, -5, 20, 20)), std::set<int>{});
}

TEST(MapModel, DeletedObjectsAtTheEndGiveTheirPositionsBack)
{
    MapModel model;
    model.append(building(10, 0, 0, 10));
    model.append(point(20, 5, 5));
    model.append(point(30, 6, 6));
    model.append(point(40, 7, 7));

    EXPECT_TRUE(model.remove(2));
    EXPECT_EQ(model.GetCount(), 4);
    EXPECT_TRUE(model.remove(3));
    EXPECT_EQ(model.GetCount(), 2); // 3 and the already deleted 2 go
    EXPECT_EQ(model.append(point(50, 8, 8)), 2);
    EXPECT_EQ(model.FindObjectID(50), 2);
    EXPECT_EQ(model.FindObjectID(30), -1);
    EXPECT_EQ(model.FindObjectID(20), 1);
    EXPECT_FALSE(model.remove(3));
}

TEST(MapModel, GivesFreshIdsForMissingOrTakenOnes)
{
    MapModel model;
    model.append(building(100, 0, 0, 10));
    const int unnamed = model.append(point(0, 1, 1));
    const int duplicate = model.append(point(100, 2, 2));
    EXPECT_EQ(model.object(unnamed).ID, 101);
    EXPECT_EQ(model.object(duplicate).ID, 102);
    EXPECT_EQ(model.FindObjectID(100), 0);
    EXPECT_EQ(model.FindObjectID(102), duplicate);

    // Replacing keeps the ID unique too, and may keep the object's own ID.
    TPMXMapObjectMem moved = point(100, 3, 3);
    EXPECT_TRUE(model.replace(unnamed, moved));
    EXPECT_EQ(model.object(unnamed).ID, 103);
    EXPECT_EQ(model.FindObjectID(101), -1);
    EXPECT_TRUE(model.replace(0, building(100, 50, 50, 5)));
    EXPECT_EQ(model.FindObjectID(100), 0);
    EXPECT_FALSE(model.replace(9, moved));
}

TEST(MapModel, AMapHoldingTheLargestIdStillGivesFreshIds)
{
    MapModel model;
    model.assign({building(1, 0, 0, 10), building(2147483647, 20, 0, 10), building(3, 40, 0, 10)});
    std::set<std::int32_t> ids{1, 2147483647, 3};
    for (int label = 0; label < 3; ++label) {
        const int position = model.append(point(0, 5, 5));
        const std::int32_t id = model.object(position).ID;
        EXPECT_GT(id, 0);
        EXPECT_TRUE(ids.insert(id).second) << "ID " << id << " is already taken";
        EXPECT_EQ(model.FindObjectID(id), position);
    }
    EXPECT_EQ(model.FindObjectID(2147483647), 1);
}

TEST(MapModel, ReplaceMovesTheObjectInTheIndex)
{
    MapModel model;
    const int index = model.append(building(1, 0, 0, 10));
    model.replace(index, building(1, 1000, 1000, 10));
    EXPECT_TRUE(queried(model, QRectF(-5, -5, 20, 20)).empty());
    EXPECT_EQ(queried(model, QRectF(1005, 1005, 1, 1)), std::set<int>{index});
    EXPECT_EQ(model.extent(), QRectF(1000, 1000, 10, 10));
}

TEST(MapModel, ExtentCoversLiveObjectsAndIsEmptyForEmptyMap)
{
    MapModel model;
    EXPECT_TRUE(model.extent().isEmpty());
    model.append(building(1, -10, -20, 5));
    model.append(point(2, 40, 30));
    EXPECT_EQ(model.extent(), QRectF(QPointF(-10, -20), QPointF(40, 30)));
}

TEST(MapModel, IndexAgreesWithLinearScanOnRandomData)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(0, 5000);
    std::uniform_real_distribution<float> size(1, 60);
    std::vector<TPMXMapObjectMem> objects;
    objects.reserve(3000);
    for (int i = 0; i < 3000; ++i)
        objects.push_back(i % 5 == 0 ? point(i + 1, coordinate(random), coordinate(random))
                                     : building(i + 1, coordinate(random), coordinate(random), size(random)));
    MapModel packed;
    packed.assign(objects);
    MapModel grown;
    for (const auto& object : objects)
        grown.append(object);
    for (int i = 0; i < 3000; i += 7) {
        packed.remove(i);
        grown.remove(i);
    }
    for (int i = 0; i < 200; ++i) {
        const QRectF box(coordinate(random), coordinate(random), size(random) * 10, size(random) * 10);
        const std::set<int> expected = scanned(packed, box);
        EXPECT_EQ(queried(packed, box), expected);
        EXPECT_EQ(queried(grown, box), expected);
    }
    for (int i = 1; i < 3000; i += 97)
        EXPECT_EQ(packed.FindObjectID(objects[i].ID), i % 7 == 0 ? -1 : i);
}

TEST(MapModel, MovingLeavesAnEmptyUsableModel)
{
    MapModel first;
    first.append(point(5, 1, 1));
    MapModel second(std::move(first));
    EXPECT_EQ(second.FindObjectID(5), 0);
    EXPECT_EQ(first.GetCount(), 0); // NOLINT: a moved-from model is empty and usable
    first.append(point(6, 2, 2));
    EXPECT_EQ(first.FindObjectID(6), 0);
}

TEST(MapModel, ClearingForgetsObjectsIdsAndIndex)
{
    MapModel model;
    model.append(building(100, 0, 0, 10));
    model.append(point(7, 20, 20));
    model.clear();
    EXPECT_EQ(model.GetCount(), 0);
    EXPECT_EQ(model.FindObjectID(100), -1);
    EXPECT_TRUE(queried(model, QRectF(-5, -5, 40, 40)).empty());
    EXPECT_TRUE(model.extent().isEmpty());

    // The IDs are free again, and the cleared model indexes new objects.
    const int again = model.append(point(100, 3, 3));
    EXPECT_EQ(model.object(again).ID, 100);
    EXPECT_EQ(queried(model, QRectF(2, 2, 2, 2)), std::set<int>{again});
}

TEST(MapModel, ObjectsBySizeFollowTheListAsItChanges)
{
    MapModel model;
    model.assign({building(1, 0, 0, 1), building(2, 10, 0, 10), building(3, 30, 0, 100), point(4, 5, 5)});
    const auto larger = [&](double smallest) {
        std::set<int> found;
        const MapModel::PositionsBySize bySize = model.positionsLargerThan(smallest);
        for (const std::span<const int> positions : {bySize.points, bySize.larger})
            for (const int index : positions)
                if (index < model.GetCount() && !model.isDeleted(index))
                    found.insert(index);
        // A few a little smaller may come too: only those at least half as large.
        std::set<int> required;
        for (int i = 0; i < model.GetCount(); ++i) {
            const QRectF box = model.bounds(i);
            if (model.isDeleted(i))
                continue;
            const double size = std::max(box.width(), box.height());
            if (IsPointType(model.object(i).ObjType) || size >= smallest)
                required.insert(i);
            else if (size >= smallest / 2)
                found.erase(i);
        }
        EXPECT_EQ(found, required);
        return found;
    };
    EXPECT_EQ(larger(5), (std::set<int>{1, 2, 3}));
    EXPECT_EQ(larger(0.5), (std::set<int>{0, 1, 2, 3}));
    // Points come and go without the sizes being grouped anew; other objects
    // are found at their new sizes.
    const int label = model.append(point(5, 1, 1));
    EXPECT_EQ(larger(5), (std::set<int>{1, 2, 3, label}));
    ASSERT_TRUE(model.replace(0, building(1, 0, 0, 50)));
    const int shed = model.append(building(6, 200, 0, 2));
    const int hall = model.append(building(7, 300, 0, 30));
    EXPECT_EQ(larger(5), (std::set<int>{0, 1, 2, 3, label, hall}));
    EXPECT_EQ(larger(1), (std::set<int>{0, 1, 2, 3, label, shed, hall}));
    ASSERT_TRUE(model.remove(2));
    ASSERT_TRUE(model.remove(hall));
    EXPECT_EQ(larger(5), (std::set<int>{0, 1, 3, label}));
    // The position of the removed last object is taken again by a large one.
    const int tower = model.append(building(8, 400, 0, 40));
    EXPECT_EQ(tower, hall);
    EXPECT_EQ(larger(5), (std::set<int>{0, 1, 3, label, tower}));
}
