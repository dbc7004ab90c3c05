// Which object a click picks: priorities, filters, lines and brute force.
#include "HitTest.h"

#include <gtest/gtest.h>

namespace {

TPMXMapObjectMem area(std::int32_t id, std::int32_t type, float left, float bottom, float size)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = type;
    object.Geometry = {{left, bottom}, {left + size, bottom}, {left + size, bottom + size}, {left, bottom + size}};
    object.X = left + size / 2;
    object.Y = bottom + size / 2;
    return object;
}

TPMXMapObjectMem point(std::int32_t id, std::int32_t type, float x, float y)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = type;
    object.X = x;
    object.Y = y;
    return object;
}

TPMXMapObjectMem road(std::int32_t id, std::vector<MapPoint> line)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = otRoad;
    object.Geometry = std::move(line);
    return object;
}

// One pixel is one metre, and the map point (x, y) is the pixel (x, 1000 - y).
Viewport metreView()
{
    Viewport view;
    view.setSize({1000, 1000});
    view.SetScale(kPixelsPerMetreUnit);
    view.SetXWind(0);
    view.SetYWind(1000);
    return view;
}

QPointF pixelOf(double x, double y) { return {x, 1000 - y}; }

int idAt(const MapModel& model, double x, double y, const MapFilters& filters = {})
{
    const int index = hitTest(model, metreView(), filters, pixelOf(x, y));
    return index < 0 ? -1 : model.object(index).ID;
}

} // namespace

TEST(HitTest, LabelsWinOverBuildingsAndBuildingsOverAreas)
{
    MapModel model;
    model.append(area(1, otDistrict, 0, 0, 800));
    model.append(area(2, otMicrodistrict, 100, 100, 300));
    model.append(area(3, otBuilding, 200, 200, 40));
    model.append(point(4, otLabel, 220, 220));
    model.append(area(5, otWater, 500, 500, 100));

    EXPECT_EQ(idAt(model, 221, 222), 4);  // on the label, inside the building
    EXPECT_EQ(idAt(model, 235, 236), 3);  // in the building, beyond the label's reach
    EXPECT_EQ(idAt(model, 150, 150), 2);  // microdistrict inside the district: the smaller wins
    EXPECT_EQ(idAt(model, 700, 50), 1);
    EXPECT_EQ(idAt(model, 550, 550), 5);
    EXPECT_EQ(idAt(model, 900, 900), -1); // nothing there
}

TEST(HitTest, NearestPointWinsAndFiltersHideTypes)
{
    MapModel model;
    model.append(area(1, otBuilding, 0, 0, 100));
    model.append(point(2, otStop, 50, 50));
    model.append(point(3, otRoadSign, 56, 50));

    EXPECT_EQ(idAt(model, 54, 50), 3);
    EXPECT_EQ(idAt(model, 51, 50), 2);

    MapFilters filters;
    filters.enabled = true;
    filters.massiv[otStop] = false;
    filters.massiv[otRoadSign] = false;
    EXPECT_EQ(idAt(model, 51, 50, filters), 1);
    filters.kateg[otBuilding] = false;
    EXPECT_EQ(idAt(model, 51, 50, filters), -1);
    filters.enabled = false; // with the filter off every type counts again
    EXPECT_EQ(idAt(model, 51, 50, filters), 2);
}

TEST(HitTest, RoadsArePickedNearTheirLineAboveAreas)
{
    MapModel model;
    model.append(area(1, otDistrict, 0, 0, 1000));
    model.append(road(2, {{100, 100}, {500, 100}, {500, 600}}));

    EXPECT_EQ(idAt(model, 300, 103), 2);
    EXPECT_EQ(idAt(model, 497, 400), 2);
    EXPECT_EQ(idAt(model, 300, 110), 1);
}

TEST(HitTest, PickRadiusIsInPixelsAtEveryScale)
{
    MapModel model;
    model.append(point(1, otLabel, 0, 0));
    Viewport view;
    view.setSize({800, 600});
    for (double scale : {216.0, 1000.0, 5000.0}) {
        view.centreOn(0, 0, scale);
        const QPointF centre(400, 300);
        EXPECT_EQ(hitTest(model, view, {}, centre + QPointF(kPointPickRadius - 1, 0)), 0) << scale;
        EXPECT_EQ(hitTest(model, view, {}, centre + QPointF(kPointPickRadius + 2, 0)), -1) << scale;
    }
}

TEST(HitTest, RingContainsAgreesWithAConcaveShape)
{
    // An L-shaped building: the notch is outside.
    const std::vector<MapPoint> shape{{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}};
    EXPECT_TRUE(ringContains(shape, 5, 5));
    EXPECT_TRUE(ringContains(shape, 5, 15));
    EXPECT_TRUE(ringContains(shape, 15, 5));
    EXPECT_FALSE(ringContains(shape, 15, 15));
    EXPECT_FALSE(ringContains(shape, -1, 5));
    EXPECT_FALSE(ringContains({}, 0, 0));
}
