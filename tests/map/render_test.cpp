// Frames drawn into images and probed pixel by pixel: layers, filters, the
// level of detail, the paint hooks, the 3D view and the overlays.
#include "MapRenderer.h"
#include "MapStyle.h"
#include "SyntheticCity.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace {

constexpr double kStreetFrameScale = 5000; // about 2.3 pixels per metre

// A small world of its own per test: a map, a 400 x 300 view on (0, 0).
struct FrameWorld {
    MapModel model;
    Viewport view;
    MapFilters filters;
    MapOptions options;
    PaintObjectHook onPaintObject;
    PaintPolyLineHook onPaintPolyLine;
    std::vector<MapPoint> measureLine;
    std::optional<QRectF> zoomRectangle;

    explicit FrameWorld(double scale = kStreetFrameScale)
    {
        view.setSize(QSize(400, 300));
        view.centreOn(0, 0, scale);
        options.NumberDom = false;
    }
    RenderScene scene() const
    {
        return RenderScene{model, nullptr, view, filters, options, onPaintObject, onPaintPolyLine, measureLine,
                           zoomRectangle};
    }
    QImage render() const
    {
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        MapRenderer renderer;
        renderer.render(scene(), painter, image.rect());
        return image;
    }
    QPoint pixel(double x, double y) const { return view.mapToPixel(x, y).toPoint(); }
};

QColor at(const QImage& image, QPoint pixel) { return image.pixelColor(pixel); }

bool near(const QColor& a, const QColor& b, int tolerance = 6)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

QColor buildingFill()
{
    TPMXMapObjectMem building;
    return MapStyle::areaStyle(building, 1).fill;
}

} // namespace

TEST(RenderLayers, BuildingIsFilledWithLandAroundIt)
{
    FrameWorld world;
    world.model.append(squareObject(1, otBuilding, 0, 0, 20));
    const QImage image = world.render();
    EXPECT_TRUE(near(at(image, world.pixel(0, 0)), buildingFill()));
    EXPECT_TRUE(near(at(image, world.pixel(30, 30)), MapStyle::landColor()));
    EXPECT_TRUE(near(at(image, QPoint(0, 0)), MapStyle::landColor())) << "the whole frame is painted";
}

TEST(RenderLayers, FiltersHideTypesOnlyWhileSwitchedOn)
{
    FrameWorld world;
    world.model.append(squareObject(1, otBuilding, 0, 0, 20));
    world.model.append(squareObject(2, otWater, 40, 0, 20));
    world.filters.massiv[otBuilding] = false;
    EXPECT_TRUE(near(at(world.render(), world.pixel(0, 0)), buildingFill())) << "filter off: all types drawn";
    world.filters.enabled = true;
    const QImage filtered = world.render();
    EXPECT_TRUE(near(at(filtered, world.pixel(0, 0)), MapStyle::landColor()));
    EXPECT_FALSE(near(at(filtered, world.pixel(40, 0)), MapStyle::landColor())) << "water still drawn";
    world.filters.massiv[otBuilding] = true;
    world.filters.kateg[otBuilding] = false;
    EXPECT_TRUE(near(at(world.render(), world.pixel(0, 0)), MapStyle::landColor()));
}

TEST(RenderLayers, NothingSmallerThanAPixelIsDrawnButSmallBuildingsRemainDots)
{
    FrameWorld world(216); // 0.1 pixel per metre
    world.model.append(squareObject(1, otBuilding, 0, 0, 5));    // half a pixel
    world.model.append(squareObject(2, otBuilding, 200, 0, 20)); // two pixels
    const QImage image = world.render();
    EXPECT_TRUE(near(at(image, world.pixel(0, 0)), MapStyle::landColor()));
    EXPECT_TRUE(near(at(image, world.pixel(200, 0)), buildingFill()));
}

TEST(RenderHooks, PaintObjectHookRecoloursOnlyTheObjectItChose)
{
    FrameWorld world;
    world.model.append(squareObject(7, otBuilding, 0, 0, 20));
    world.model.append(squareObject(8, otBuilding, 40, 0, 20));
    world.onPaintObject = [](const TPMXMapObjectMem& object, QPen&, QBrush& brush) {
        if (object.ID == 7)
            brush.setColor(QColor(0x00, 0x80, 0x00));
    };
    const QImage image = world.render();
    EXPECT_TRUE(near(at(image, world.pixel(0, 0)), QColor(0x00, 0x80, 0x00)));
    EXPECT_TRUE(near(at(image, world.pixel(40, 0)), buildingFill())) << "the change must not leak to the next object";
}

TEST(RenderHooks, FirstByteOneGivesRailwaysSleepers)
{
    FrameWorld world;
    world.model.append(lineObject(3, otRailway, {{-60, 0}, {60, 0}}));
    // Pixels a little beside the rail: only sleepers reach them.
    const auto darkBesideTheRail = [&](const QImage& image) {
        int dark = 0;
        for (int x = world.pixel(-50, 0).x(); x < world.pixel(50, 0).x(); ++x)
            dark += at(image, QPoint(x, world.pixel(0, 0).y() + 4)).lightness() < 150;
        return dark;
    };
    EXPECT_EQ(darkBesideTheRail(world.render()), 0);
    world.onPaintPolyLine = [](const TPMXMapObjectMem& object, tPmxLine& style) {
        if (object.ObjType == otRailway)
            style.Style = 1;
    };
    const int sleepers = darkBesideTheRail(world.render());
    const int railLength = world.pixel(50, 0).x() - world.pixel(-50, 0).x();
    EXPECT_GT(sleepers, railLength / 10) << "sleepers across the line";
    EXPECT_LT(sleepers, railLength / 2) << "dashed, not a solid band";
}

TEST(RenderLayers, StreetsHaveCasingsAtStreetLevelAndAreLinesFarAway)
{
    FrameWorld world;
    world.model.append(lineObject(5, otRoad, {{-80, 0}, {80, 0}}));
    const QImage near_ = world.render();
    const RoadStyle street = MapStyle::roadStyle(rcStreet, world.view.pixelsPerMetre());
    ASSERT_GT(street.casingWidth, street.fillWidth);
    const QPoint middle = world.pixel(0, 0);
    EXPECT_TRUE(near(at(near_, middle), street.fill));
    const int edge = static_cast<int>(street.casingWidth / 2 - 0.6);
    EXPECT_TRUE(near(at(near_, middle + QPoint(0, edge)), street.casing, 30));

    FrameWorld far(216);
    far.model.append(lineObject(5, otRoad, {{-800, 0}, {800, 0}}));
    const QImage image = far.render();
    EXPECT_FALSE(near(at(image, far.pixel(0, 0)), MapStyle::landColor(), 3)) << "a thin line stays visible";
}

TEST(Render3D, RoofsRiseAboveTheirFootprints)
{
    FrameWorld world;
    TPMXMapObjectMem tower = squareObject(1, otBuilding, 0, 0, 20);
    tower.Floors = 10;
    world.model.append(tower);
    const QPoint aboveFootprint = world.pixel(0, 20); // 10 m north of the northern wall
    EXPECT_TRUE(near(at(world.render(), aboveFootprint), MapStyle::landColor()));
    world.options.View3D = true;
    const QImage raised = world.render();
    EXPECT_FALSE(near(at(raised, aboveFootprint), MapStyle::landColor()));
    const double lift = 10 * MapStyle::kStoreyHeight * world.view.pixelsPerMetre();
    const QPointF roofCentre = world.view.mapToPixel(0, 0) + QPointF(0.25, -0.5) * lift;
    EXPECT_TRUE(near(at(raised, roofCentre.toPoint()), MapStyle::roofColor(), 10));
}

TEST(Render3D, NearBuildingsAreDrawnOverFarOnes)
{
    FrameWorld world;
    TPMXMapObjectMem far = squareObject(1, otBuilding, 0, 25, 20);
    TPMXMapObjectMem near_ = squareObject(2, otBuilding, 0, 0, 20);
    near_.Floors = 12;
    // The near one comes first in the list: drawing order must not follow the list.
    world.model.append(near_);
    world.model.append(far);
    world.onPaintObject = [](const TPMXMapObjectMem& object, QPen&, QBrush& brush) {
        brush.setColor(object.ID == 1 ? QColor(Qt::red) : QColor(Qt::blue));
    };
    world.options.View3D = true;
    const QImage image = world.render();
    // The near tower's roof rises over the far, low building.
    const QPointF roof = world.view.mapToPixel(0, 0) + QPointF(0.25, -0.5) * 12 * MapStyle::kStoreyHeight * world.view.pixelsPerMetre();
    EXPECT_TRUE(near(at(image, roof.toPoint()), QColor(Qt::blue)));
}

TEST(RenderOverlays, MeasuredLineAndZoomBoxAreDrawn)
{
    FrameWorld world;
    world.measureLine = {{-50, 0}, {50, 0}};
    world.zoomRectangle = QRectF(20, 20, 100, 60);
    const QImage image = world.render();
    EXPECT_TRUE(near(at(image, world.pixel(0, 0)), MapStyle::measureColor(), 20));
    EXPECT_TRUE(near(at(image, QPoint(60, 20)), MapStyle::zoomRectangleColor(), 60));
    EXPECT_FALSE(near(at(image, QPoint(60, 50)), MapStyle::landColor(), 2)) << "the box is tinted";
}

TEST(RenderTarget, ViewOriginLandsOnTargetCornerAndNothingSpillsOut)
{
    FrameWorld world;
    world.model.append(squareObject(1, otBuilding, 0, 0, 400)); // larger than the view
    QImage image(600, 500, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    {
        QPainter painter(&image);
        MapRenderer renderer;
        renderer.render(world.scene(), painter, QRect(QPoint(100, 50), world.view.size()));
    }
    EXPECT_EQ(at(image, QPoint(99, 200)), QColor(Qt::magenta));
    EXPECT_EQ(at(image, QPoint(300, 49)), QColor(Qt::magenta));
    EXPECT_EQ(at(image, QPoint(500, 350)), QColor(Qt::magenta));
    EXPECT_TRUE(near(at(image, world.pixel(0, 0) + QPoint(100, 50)), buildingFill()));
}
