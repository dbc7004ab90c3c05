// The whole of a large city: minor roads left out far away unless the map has
// no others, and the culling, whether it walks the list or asks the index,
// finding what a check of every object finds.
#include "MapRenderer.h"
#include "MapStyle.h"
#include "RenderFrame.h"
#include "SyntheticCity.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace {

Viewport viewAt(double pixelsPerMetre, QSize size = QSize(400, 300))
{
    Viewport view;
    view.setSize(size);
    view.centreOn(0, 0, pixelsPerMetre * kPixelsPerMetreUnit);
    return view;
}

QImage render(const MapModel& model, const Viewport& view)
{
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    MapOptions options;
    options.NumberDom = false;
    MapRenderer renderer;
    renderer.render(RenderScene{model, nullptr, view, {}, options}, painter, image.rect());
    return image;
}

bool isLand(const QImage& image, const Viewport& view, double x, double y)
{
    return image.pixelColor(view.mapToPixel(x, y).toPoint()) == MapStyle::landColor();
}

} // namespace

TEST(FarAway, MinorRoadsAreLeftOutWhereMainRoadsRemain)
{
    MapModel model;
    model.append(roadObject(1, rcAvenue, {{-4000, 1000}, {4000, 1000}}));
    model.append(roadObject(2, rcStreet, {{2000, -3000}, {2000, 0}}));
    model.append(roadObject(3, rcPath, {{-2000, -3000}, {-2000, 0}}));
    const Viewport far = viewAt(0.04);
    const QImage whole = render(model, far);
    EXPECT_FALSE(isLand(whole, far, 0, 1000)) << "the avenue";
    EXPECT_TRUE(isLand(whole, far, 2000, -2000)) << "the street";
    EXPECT_TRUE(isLand(whole, far, -2000, -2000)) << "the path";
    const Viewport nearer = viewAt(0.06);
    const QImage closer = render(model, nearer);
    EXPECT_FALSE(isLand(closer, nearer, 2000, -2000));
    EXPECT_FALSE(isLand(closer, nearer, -2000, -2000));
}

TEST(FarAway, AMapOfMinorRoadsOnlyKeepsThem)
{
    MapModel model;
    model.append(roadObject(1, rcStreet, {{-4000, 1000}, {4000, 1000}}));
    model.append(roadObject(2, rcStreet, {{2000, -3000}, {2000, 0}}));
    const Viewport far = viewAt(0.04);
    const QImage image = render(model, far);
    EXPECT_FALSE(isLand(image, far, 0, 1000));
    EXPECT_FALSE(isLand(image, far, 2000, -2000));
}

TEST(FarAway, RoadClassesFollowTheListAsItChanges)
{
    MapModel model;
    model.assign({roadObject(1, rcAvenue, {{0, 0}, {10, 0}}), roadObject(2, rcPath, {{0, 5}, {10, 5}})});
    const int appended = model.append(roadObject(3, rcMotorway, {{0, 9}, {10, 9}}));
    EXPECT_EQ(model.styleCodes()[0], rcAvenue);
    EXPECT_EQ(model.styleCodes()[1], rcPath);
    EXPECT_EQ(model.styleCodes()[static_cast<std::size_t>(appended)], rcMotorway);
    ASSERT_TRUE(model.replace(0, roadObject(1, rcStreet, {{0, 0}, {10, 0}})));
    EXPECT_EQ(model.styleCodes()[0], rcStreet);
    ASSERT_TRUE(model.remove(appended));
    EXPECT_EQ(model.styleCodes().size(), model.types().size());
}

namespace {

// What a check of every object of the model finds in the frame of the view,
// per type in list order: those whose box meets the frame and is at least a
// pixel large, minor roads only far away on a map without other roads.
std::array<std::vector<int>, 10> visibleByCheckingEveryObject(const MapModel& model, const RenderFrame& frame)
{
    const QRectF area = frame.transform.toMap(frame.pixels);
    std::array<std::vector<int>, 10> expected;
    bool anyMainRoad = false;
    std::vector<int> minorRoads;
    for (int index = 0; index < model.GetCount(); ++index) {
        const TPMXMapObjectMem& object = model.object(index);
        const QRectF box = model.bounds(index);
        const bool meets = box.right() >= area.left() && box.left() <= area.right() && box.bottom() >= area.top() &&
                           box.top() <= area.bottom();
        const bool seen = IsPointType(object.ObjType) || std::max(box.width(), box.height()) >= 1 / frame.ppm;
        if (!meets || !seen || object.ObjType < 0 || object.ObjType >= 10)
            continue;
        if (object.ObjType == otRoad && !MapStyle::minorRoadsShown(frame.ppm) &&
            MapStyle::isMinorRoad(object.StyleCode)) {
            minorRoads.push_back(index);
            continue;
        }
        anyMainRoad = anyMainRoad || object.ObjType == otRoad;
        expected[static_cast<std::size_t>(object.ObjType)].push_back(index);
    }
    if (!anyMainRoad)
        expected[otRoad] = minorRoads;
    return expected;
}

// Culls the model for a view share of the city's extent wide and high at
// the scale, and holds the lists against a check of every object.
void expectCullingFindsWhatACheckOfEveryObjectFinds(const MapModel& model, double share, double pixelsPerMetre)
{
    const QRectF extent = model.extent();
    Viewport view;
    view.setSize(QSize(static_cast<int>(extent.width() * std::sqrt(share) * pixelsPerMetre) + 1,
                       static_cast<int>(extent.height() * std::sqrt(share) * pixelsPerMetre) + 1));
    view.centreOn(extent.center().x() + extent.width() / 7, extent.center().y(), pixelsPerMetre * kPixelsPerMetreUnit);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const RenderScene scene{model, nullptr, view, {}, {}};
    RenderFrame frame(scene, painter, image.rect());
    collectVisible(frame);
    const std::array<std::vector<int>, 10> expected = visibleByCheckingEveryObject(model, frame);
    for (std::size_t type = 0; type < expected.size(); ++type) {
        const VisibleObjects& visible = frame.visible[type];
        EXPECT_EQ(visible.positions, expected[type])
            << "share " << share << ", " << pixelsPerMetre << " px/m, type " << type;
        ASSERT_EQ(visible.boxes.size(), visible.positions.size());
        for (std::size_t k = 0; k < visible.size(); ++k)
            EXPECT_EQ(model.bounds(visible.positions[k]),
                      QRectF(QPointF(visible.boxes[k].minX, visible.boxes[k].minY),
                             QPointF(visible.boxes[k].maxX, visible.boxes[k].maxY)));
    }
}

} // namespace

TEST(Culling, WalkOrIndexFindsWhatACheckOfEveryObjectFinds)
{
    const MapModel model = syntheticCity({3000, 300, 80, 7});
    // Views on a small part of the city (the index), on most of it and on all
    // of it (the walk), near and far.
    for (const double share : {0.05, 0.4, 1.5})
        for (const double pixelsPerMetre : {0.03, 0.3, 2.0})
            expectCullingFindsWhatACheckOfEveryObjectFinds(model, share, pixelsPerMetre);
}

TEST(Culling, AWalkSharedBetweenThreadsKeepsTheListsInListOrder)
{
    // Hundreds of thousands of objects a pixel or larger: the walk is
    // marked and considered in halves on two threads, whose lists are
    // joined; the city's types lie all along its list, so a join out of
    // order would show in every type.
    const MapModel model = syntheticCity({240000, 30000, 400, 11});
    expectCullingFindsWhatACheckOfEveryObjectFinds(model, 1.5, 0.1);
}
