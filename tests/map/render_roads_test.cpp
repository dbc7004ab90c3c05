// Roads stored as pieces: a street drawn as one line where its pieces meet,
// minor roads under main ones, pieces of another look left apart.
#include "MapRenderer.h"
#include "MapStyle.h"
#include "SyntheticCity.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace {

constexpr double kStreetScale = 5000;

QImage render(const MapModel& model, const PaintPolyLineHook& hook = {})
{
    Viewport view;
    view.setSize(QSize(400, 300));
    view.centreOn(0, 0, kStreetScale);
    MapOptions options;
    options.NumberDom = false;
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    MapRenderer renderer;
    renderer.render(RenderScene{model, nullptr, view, {}, options, {}, hook}, painter, image.rect());
    return image;
}

QPoint pixelOf(double x, double y)
{
    Viewport view;
    view.setSize(QSize(400, 300));
    view.centreOn(0, 0, kStreetScale);
    return view.mapToPixel(x, y).toPoint();
}

} // namespace

TEST(RoadPieces, ATranslucentStreetInPiecesShowsNoSeamWhereThePiecesMeet)
{
    MapModel model;
    model.append(roadObject(1, rcStreet, {{-60, 0}, {0, 0}}));
    model.append(roadObject(2, rcStreet, {{0, 0}, {60, 0}}));
    const QColor glass(0x20, 0x40, 0xc0, 120);
    const QImage image = render(model, [&](const TPMXMapObjectMem&, tPmxLine& line) { line.Color = glass; });
    EXPECT_EQ(image.pixelColor(pixelOf(0, 0)), image.pixelColor(pixelOf(30, 0))) << "no double layer at the joint";
    EXPECT_NE(image.pixelColor(pixelOf(30, 0)), MapStyle::roadStyle(rcStreet, 2.3).fill);
}

TEST(RoadPieces, PiecesOfAnotherLookOrApartAreDrawnEachWithItsOwn)
{
    MapModel model;
    model.append(roadObject(1, rcStreet, {{-60, 0}, {0, 0}}));
    model.append(roadObject(2, rcStreet, {{0, 0}, {60, 0}}));
    model.append(roadObject(3, rcStreet, {{-60, -40}, {0, -40}}));
    model.append(roadObject(4, rcStreet, {{10, -40}, {60, -40}})); // starts off the end of the one before
    const QColor red(0xc0, 0x20, 0x20);
    const QImage image = render(model, [&](const TPMXMapObjectMem& object, tPmxLine& line) {
        if (object.ID == 2)
            line.Color = red;
    });
    const QColor street = MapStyle::roadStyle(rcStreet, 2.3).fill;
    EXPECT_EQ(image.pixelColor(pixelOf(-30, 0)), street);
    EXPECT_EQ(image.pixelColor(pixelOf(30, 0)), red) << "the hook's colour stays with its piece";
    EXPECT_EQ(image.pixelColor(pixelOf(-30, -40)), street);
    EXPECT_EQ(image.pixelColor(pixelOf(35, -40)), street);
    EXPECT_NE(image.pixelColor(pixelOf(5, -40)), street) << "no road in the gap";
}

TEST(RoadPieces, MainStreetsRunOverTheStreetsTheyCross)
{
    MapModel model;
    model.append(roadObject(1, rcAvenue, {{-60, 0}, {60, 0}}));
    model.append(roadObject(2, rcStreet, {{0, -60}, {0, 60}}));
    model.append(roadObject(3, rcStreet, {{30, -60}, {30, 0}}));
    model.append(roadObject(4, rcStreet, {{30, 0}, {30, 60}}));
    const QImage image = render(model);
    const QColor avenue = MapStyle::roadStyle(rcAvenue, 2.3).fill;
    EXPECT_EQ(image.pixelColor(pixelOf(0, 0)), avenue);
    EXPECT_EQ(image.pixelColor(pixelOf(30, 0)), avenue) << "joined pieces stay under the avenue too";
    EXPECT_EQ(image.pixelColor(pixelOf(30, 30)), MapStyle::roadStyle(rcStreet, 2.3).fill);
}

TEST(RoadPieces, AStreetStoredInPiecesAnyWayRoundIsDrawnAsTheWholeStreet)
{
    // A bending avenue, cased, stored whole and as four pieces out of order,
    // two of them backwards: drawn one by one, each piece's round caps would
    // lay the smoothed edge down twice where they overlap.
    const std::vector<MapPoint> bends{{-80, -20}, {-40, 0}, {0, 10}, {40, 0}, {80, -20}};
    MapModel whole;
    whole.append(roadObject(1, rcAvenue, bends));
    MapModel pieces;
    pieces.append(roadObject(1, rcAvenue, {bends[3], bends[4]}));
    pieces.append(roadObject(2, rcAvenue, {bends[2], bends[1]}));
    pieces.append(roadObject(3, rcAvenue, {bends[0], bends[1]}));
    pieces.append(roadObject(4, rcAvenue, {bends[3], bends[2]}));
    const QImage expected = render(whole);
    const QImage drawn = render(pieces);
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            differing += expected.pixel(x, y) != drawn.pixel(x, y) ? 1 : 0;
    EXPECT_EQ(differing, 0);
}
