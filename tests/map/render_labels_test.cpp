// Texts and icons of a frame: house numbers that never overlap, names along
// streets that read upright, labels with icons of the icon library, and
// the order in which they win places.
#include "IconLibrary.h"
#include "MapRenderer.h"
#include "MapStyle.h"
#include "RenderLabels.h"
#include "SyntheticCity.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <functional>
#include <map>

namespace {

constexpr double kStreetLevel = 5000;

TPMXMapObjectMem building(std::int32_t id, double x, double y, double side, const QString& house)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = otBuilding;
    object.X = static_cast<float>(x);
    object.Y = static_cast<float>(y);
    object.House = house;
    object.HasAddress = !house.isEmpty();
    const auto h = static_cast<float>(side / 2);
    object.Geometry = {{object.X - h, object.Y - h}, {object.X + h, object.Y - h}, {object.X + h, object.Y + h},
                       {object.X - h, object.Y + h}};
    return object;
}

TPMXMapObjectMem road(std::int32_t id, const QString& street, std::vector<MapPoint> points)
{
    TPMXMapObjectMem object = lineObject(id, otRoad, std::move(points));
    object.Street = street;
    return object;
}

TPMXMapObjectMem label(std::int32_t id, double x, double y)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = otLabel;
    object.X = static_cast<float>(x);
    object.Y = static_cast<float>(y);
    object.DisplayParam = 20;
    object.StyleCode = 7;
    object.Zametka = TPMXMapZametka{object.X, object.Y, QStringLiteral("ICONS.LIB"), QStringLiteral("OK.BMP")};
    return object;
}

struct World {
    MapModel model;
    IconLibrary icons;
    Viewport view;
    MapOptions options;

    explicit World(double scale = kStreetLevel)
    {
        view.setSize(QSize(600, 400));
        view.centreOn(0, 0, scale);
        options.NumberDom = true;
        options.NumberDomSizeFont = 8;
    }
    RenderScene scene() const { return RenderScene{model, &icons, view, {}, options}; }
    PlacedLabels place()
    {
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        const RenderScene current = scene();
        RenderFrame frame(current, painter, image.rect());
        collectVisible(frame);
        LabelCaches caches;
        return placeLabels(frame, caches);
    }
    QImage render() const
    {
        QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        MapRenderer renderer;
        renderer.render(scene(), painter, image.rect());
        return image;
    }
    QPoint pixel(double x, double y) const { return view.mapToPixel(x, y).toPoint(); }
};

int darkPixelsIn(const QImage& image, const QRect& area)
{
    int dark = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            dark += image.pixelColor(x, y).lightness() < 140;
    return dark;
}

// A 12 x 12 icon: a red disc on a white ground that must come out transparent.
QImage okIcon()
{
    QImage icon(12, 12, QImage::Format_RGB32);
    icon.fill(Qt::white);
    QPainter painter(&icon);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::red);
    painter.drawEllipse(QRect(2, 2, 8, 8));
    return icon;
}

} // namespace

TEST(HouseNumbers, NeverOverlapEvenOnCrowdedBuildings)
{
    World world;
    int id = 1;
    // Overlapping buildings three metres apart: far more numbers than room.
    for (int row = 0; row < 12; ++row)
        for (int column = 0; column < 20; ++column, ++id)
            world.model.append(building(id, column * 3.0 - 30, row * 3.0 - 18, 14, QString::number(id * 7)));
    const PlacedLabels placed = world.place();
    ASSERT_GT(placed.numbers.size(), 3u);
    EXPECT_LT(placed.numbers.size(), 240u);
    for (std::size_t i = 0; i < placed.numbers.size(); ++i)
        for (std::size_t j = i + 1; j < placed.numbers.size(); ++j)
            EXPECT_FALSE(placed.numbers[i].box.intersects(placed.numbers[j].box)) << i << " and " << j;
}

TEST(HouseNumbers, AreWrittenOnTheirBuildingOnlyWhenSwitchedOnAndRoomy)
{
    World world;
    world.model.append(building(1, 0, 0, 24, QStringLiteral("15а")));
    world.model.append(building(2, 60, 0, 2, QStringLiteral("117"))); // too small to carry its number
    const QRect onBuilding(world.pixel(-10, 10), world.pixel(10, -10));
    EXPECT_GT(darkPixelsIn(world.render(), onBuilding), 10);
    const PlacedLabels placed = world.place();
    ASSERT_EQ(placed.numbers.size(), 1u);
    EXPECT_EQ(placed.numbers.front().text.text(), QStringLiteral("15а"));
    EXPECT_TRUE(QRectF(onBuilding).contains(placed.numbers.front().box.center()));

    world.options.NumberDom = false;
    EXPECT_EQ(darkPixelsIn(world.render(), onBuilding), 0);
}

TEST(StreetNames, ReadUprightAlongTheirStreetAndOnlyWhenClose)
{
    World world;
    world.model.append(road(1, QStringLiteral("улица Ленина"), {{-100, 0}, {100, 0}}));
    world.model.append(road(2, QStringLiteral("Садовая улица"), {{50, 80}, {50, -80}}));
    world.model.append(road(3, QStringLiteral("проспект Мира"), {{100, -60}, {-100, -60}})); // runs westwards
    PlacedLabels placed = world.place();
    ASSERT_EQ(placed.streetNames.size(), 3u);
    for (const TextItem& name : placed.streetNames) {
        EXPECT_GE(name.angle, -90);
        EXPECT_LE(name.angle, 90);
        if (name.text == QStringLiteral("Садовая улица"))
            EXPECT_NEAR(std::abs(name.angle), 90, 1e-6);
        else
            EXPECT_NEAR(name.angle, 0, 1e-6) << name.text.toStdString();
    }
    World far(216);
    far.model = std::move(world.model);
    EXPECT_TRUE(far.place().streetNames.empty());
}

TEST(StreetNames, AreNotRepeatedOnNearbyPiecesOfTheSameStreet)
{
    World world;
    world.model.append(road(1, QStringLiteral("улица Ленина"), {{-120, 0}, {0, 0}}));
    world.model.append(road(2, QStringLiteral("улица Ленина"), {{0, 0}, {120, 0}}));
    world.model.append(road(3, QStringLiteral("Короткая"), {{-120, 40}, {-119, 40}})); // too short for its name
    const PlacedLabels placed = world.place();
    ASSERT_EQ(placed.streetNames.size(), 1u);
    EXPECT_EQ(placed.streetNames.front().text, QStringLiteral("улица Ленина"));
}

TEST(StreetNames, StandInTheViewOnLongStreetsWhoseStraightestPartIsOutsideIt)
{
    // A street that bends just inside the view and runs on straight for
    // kilometres beyond it: its name belongs on the part that can be seen.
    World world;
    world.model.append(road(1, QStringLiteral("проспект Мира"), {{-100, 0}, {30, 0}, {3000, 3000}}));
    const PlacedLabels placed = world.place();
    ASSERT_EQ(placed.streetNames.size(), 1u);
    const QRectF view(QPointF(0, 0), QSizeF(world.view.size()));
    EXPECT_TRUE(view.contains(placed.streetNames.front().centre));
    EXPECT_NEAR(placed.streetNames.front().angle, 0, 1e-6);
}

TEST(Labels, AreDrawnWithTheirIconWhoseBackgroundIsTransparent)
{
    World world;
    world.icons.addIcon(QStringLiteral("ICONS.LIB"), QStringLiteral("OK.BMP"), okIcon());
    world.model.append(label(50, 0, 0));
    const QImage image = world.render();
    const QPoint centre = world.pixel(0, 0);
    EXPECT_EQ(image.pixelColor(centre), QColor(Qt::red));
    const QColor corner = image.pixelColor(centre + QPoint(-5, -5));
    EXPECT_EQ(corner, MapStyle::landColor()) << "the white ground of the bitmap is not drawn";
}

TEST(Labels, StopsAndSignsShowTheLibrarysIconUnlessTheyCarryTheirOwn)
{
    World world;
    const auto plain = [](QSize size, QColor colour) {
        QImage icon(size, QImage::Format_ARGB32_Premultiplied);
        icon.fill(colour);
        return icon;
    };
    world.icons.addIcon(kStandardIconLibrary, kStopIconName, plain(QSize(10, 10), Qt::blue));
    world.icons.addIcon(kStandardIconLibrary, kRoadSignIconName, plain(QSize(8, 8), Qt::green));
    world.icons.addIcon(kStandardIconLibrary, QStringLiteral("OK.BMP"), okIcon());
    const auto point = [](std::int32_t id, std::int32_t type, double x) {
        TPMXMapObjectMem object = label(id, x, 0);
        object.ObjType = type;
        object.Zametka.reset();
        return object;
    };
    world.model.append(point(1, otStop, -60));
    world.model.append(point(2, otRoadSign, 0));
    TPMXMapObjectMem noted = point(3, otStop, 60);
    noted.Zametka = TPMXMapZametka{noted.X, noted.Y, kStandardIconLibrary, QStringLiteral("OK.BMP")};
    world.model.append(noted);
    const PlacedLabels placed = world.place();
    std::map<double, QSize> sizes; // by where the icon stands, left to right
    for (const IconItem& item : placed.points)
        sizes[item.box.center().x()] = item.image.size();
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_EQ(sizes.begin()->second, QSize(10, 10)) << "the stop";
    EXPECT_EQ(std::next(sizes.begin())->second, QSize(8, 8)) << "the sign";
    EXPECT_EQ(sizes.rbegin()->second, QSize(12, 12)) << "the stop with its own icon";
}

TEST(Labels, ThousandsOfIconsAreLaidOnTwoThreadsAsThePainterLaysThemOneAfterAnother)
{
    World world;
    QImage seeThrough(9, 7, QImage::Format_ARGB32_Premultiplied);
    seeThrough.fill(QColor(30, 90, 200, 140));
    const QImage icons[] = {LabelCaches().icon(okIcon()), seeThrough};
    // Overlapping one another, across the middle row where the threads
    // meet, and out over the frame's left and top edges. (Past its right
    // and bottom edges by less than a pixel the painter leaves an icon out
    // where it would show a column of it.)
    PlacedLabels placed;
    std::uint32_t random = 12345;
    const auto next = [&random](int below) {
        random = random * 1103515245u + 12345u;
        return static_cast<double>((random >> 8) % static_cast<std::uint32_t>(below * 10)) / 10;
    };
    for (int i = 0; i < 1500; ++i) {
        const QImage& icon = icons[i % 2];
        const QPointF at(next(world.view.size().width()) - 10, next(world.view.size().height()) - 10);
        (i % 3 == 0 ? placed.labels : placed.points).push_back({icon, otStop, QRectF(at, QSizeF(icon.size()))});
    }
    const QImage land = [&] {
        QImage ground(world.view.size(), QImage::Format_ARGB32_Premultiplied);
        ground.fill(MapStyle::landColor());
        return ground;
    }();
    QImage ours = land;
    QPainter painter(&ours);
    const RenderScene scene = world.scene();
    RenderFrame frame(scene, painter, ours.rect());
    LabelCaches caches;
    drawLabels(frame, placed, caches, IconThreads::Shared);
    painter.end();
    QImage painters = land;
    QPainter reference(&painters);
    for (const std::vector<IconItem>* items : {&placed.points, &placed.labels})
        for (const IconItem& item : *items)
            reference.drawImage(item.box.topLeft(), item.image);
    reference.end();
    EXPECT_EQ(ours, painters);
}

TEST(Labels, MissingIconsBecomeSymbolsAndLabelsWinOverNumbersAndEachOther)
{
    World world;
    world.model.append(building(1, 0, 0, 30, QStringLiteral("8")));
    world.model.append(label(50, 0, 0));
    world.model.append(label(51, 1, 1)); // on top of the first one
    const PlacedLabels placed = world.place();
    ASSERT_EQ(placed.labels.size(), 1u);
    EXPECT_TRUE(placed.labels.front().image.isNull()) << "no library: a drawn symbol";
    EXPECT_TRUE(placed.numbers.empty()) << "the label covers the house number";
    const QImage image = world.render();
    EXPECT_NE(image.pixelColor(world.pixel(0, 0) + QPoint(4, 0)), image.pixelColor(world.pixel(12, 12)));
}

TEST(AreaNames, DistrictNamesStandAtTheirPointWhenTheAreaHoldsThem)
{
    World world(500);
    TPMXMapObjectMem district;
    district.ID = 9;
    district.ObjType = otDistrict;
    district.Name = QStringLiteral("Центральный");
    district.X = 100;
    district.Y = 50;
    district.Geometry = {{-900, -600}, {900, -600}, {900, 600}, {-900, 600}};
    world.model.append(district);
    TPMXMapObjectMem pond = district;
    pond.ID = 10;
    pond.ObjType = otWater;
    pond.Name = QStringLiteral("Пруд");
    pond.Geometry = {{0, 0}, {10, 0}, {10, 10}, {0, 10}}; // two pixels: no room for a name
    world.model.append(pond);
    const PlacedLabels placed = world.place();
    ASSERT_EQ(placed.districtNames.size(), 1u);
    EXPECT_EQ(placed.districtNames.front().text, QStringLiteral("Центральный"));
    EXPECT_EQ(placed.districtNames.front().centre, world.view.mapToPixel(100, 50));
    EXPECT_TRUE(placed.areaNames.empty());
}

TEST(AreaNames, PicturesMadeWhileTheGroundIsDrawnLeaveTheLabelsNoneToMake)
{
    World world;
    world.model.append(road(1, QStringLiteral("улица Ленина"), {{-100, 0}, {100, 0}}));
    world.model.append(road(2, QStringLiteral("Садовая улица"), {{50, 80}, {50, -80}}));
    TPMXMapObjectMem pond = building(3, -60, 40, 60, QString());
    pond.ObjType = otWater;
    pond.Name = QStringLiteral("Пруд");
    world.model.append(pond);
    QImage image(world.view.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    const RenderScene scene = world.scene();
    RenderFrame frame(scene, painter, image.rect());
    collectVisible(frame);
    LabelCaches caches;
    const PlacedLabels placed = placeLabels(frame, caches);
    ASSERT_EQ(placed.streetNames.size(), 2u);
    ASSERT_EQ(placed.areaNames.size(), 1u);
    const auto pictureBytes = [&] {
        qsizetype bytes = 0;
        for (const QFont& font : {placed.streetNames.front().font, placed.areaNames.front().font})
            bytes += caches.texts(font).pictureBytes();
        return bytes;
    };
    ASSERT_TRUE(namesDrawnAsPictures(painter));
    makeNamePictures(placed, caches);
    const qsizetype made = pictureBytes();
    EXPECT_GT(made, 0);
    drawLabels(frame, placed, caches, IconThreads::Shared);
    EXPECT_EQ(pictureBytes(), made);
    painter.scale(0.5, 0.5);
    EXPECT_FALSE(namesDrawnAsPictures(painter)) << "a scaled frame draws its names as glyphs";
}

namespace {

QImage textImage(const std::function<void(QPainter&)>& draw)
{
    QImage image(320, 60, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    draw(painter);
    return image;
}

// The share of pixels that differ by more than a rounding of the smoothing.
double differingShare(const QImage& a, const QImage& b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 60;
    return double(differing) / (a.width() * a.height());
}

} // namespace

TEST(ShapedTexts, MeasureAndDrawAsThePainterDoesInEveryFontOfTheMap)
{
    LabelCaches caches;
    const QString name = QStringLiteral("Микрорайон Заречный 12");
    for (const QFont& font : {MapStyle::districtNameFont(otDistrict, 0.5), MapStyle::streetNameFont(2),
                              MapStyle::waterNameFont()}) {
        ShapedTexts& texts = caches.texts(font);
        EXPECT_DOUBLE_EQ(texts.width(name), QFontMetricsF(font).horizontalAdvance(name));
        const QPointF baseline(10, 40);
        const QImage drawn = textImage([&](QPainter& painter) {
            painter.setFont(font);
            painter.drawText(baseline, name);
        });
        const QImage shaped = textImage([&](QPainter& painter) {
            for (const QGlyphRun& run : texts.shape(name).glyphs)
                painter.drawGlyphRun(baseline, run);
        });
        EXPECT_GT(darkPixelsIn(shaped, shaped.rect()), 50) << "the name is written";
        EXPECT_LT(differingShare(drawn, shaped), 0.002) << font.toString().toStdString();
    }
}

TEST(ShapedTexts, EachFontKeepsItsOwnShapesWhileTheFontsOfAFrameStay)
{
    LabelCaches caches;
    QFont small = MapStyle::streetNameFont(0.5);
    QFont large = MapStyle::streetNameFont(2);
    ASSERT_NE(small, large);
    ShapedTexts& first = caches.texts(small);
    const double smallWidth = first.width(QStringLiteral("улица Мира"));
    // Many other fonts in between: the one in use now must survive them.
    for (int size = 20; size < 60; ++size) {
        QFont other = small;
        other.setPixelSize(size);
        caches.texts(other);
        EXPECT_EQ(&caches.texts(small), &first);
    }
    EXPECT_GT(caches.texts(large).width(QStringLiteral("улица Мира")), smallWidth);
    EXPECT_DOUBLE_EQ(caches.texts(small).width(QStringLiteral("улица Мира")), smallWidth);
}

TEST(ShapedTexts, PicturesOfNamesLookLikeTheNamesDrawnInPlaceAtEveryAngle)
{
    LabelCaches caches;
    const QFont font = MapStyle::streetNameFont(2);
    ShapedTexts& texts = caches.texts(font);
    const QString name = QStringLiteral("улица Мира");
    const QColor color = MapStyle::streetNameColor();
    const QPoint centre(160, 30);
    for (const double angle : {0.0, 12.0, -37.5, 90.0}) {
        // The halo on a darker ground, so that it counts as well.
        const auto onGround = [](const std::function<void(QPainter&)>& draw) {
            return textImage([&](QPainter& painter) {
                painter.fillRect(QRect(0, 0, 320, 60), QColor(0x90, 0x90, 0x90));
                draw(painter);
            });
        };
        const QImage inPlace = onGround([&](QPainter& painter) {
            painter.translate(centre);
            painter.rotate(angle);
            const ShapedTexts::Shape& shape = texts.shape(name);
            const QPointF baseline(-shape.width / 2, texts.baselineDrop());
            painter.setPen(MapStyle::haloColor());
            for (const QPointF shift : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)})
                for (const QGlyphRun& run : shape.glyphs)
                    painter.drawGlyphRun(baseline + shift, run);
            painter.setPen(color);
            for (const QGlyphRun& run : shape.glyphs)
                painter.drawGlyphRun(baseline, run);
        });
        const ShapedTexts::Picture& picture = texts.picture(name, angle, color);
        const QImage pictured = onGround([&](QPainter& painter) {
            painter.drawImage(centre + picture.offset, picture.image);
        });
        SCOPED_TRACE(testing::Message() << "angle " << angle);
        EXPECT_GT(darkPixelsIn(pictured, pictured.rect()), 30) << "the name is written";
        EXPECT_LT(differingShare(inPlace, pictured), 0.003);
    }
    // Made once: the same name at the same angle and colour is the same picture.
    const qint64 first = texts.picture(name, 12.0, color).image.cacheKey();
    EXPECT_EQ(first, texts.picture(name, 12.1, color).image.cacheKey()) << "within a step of the angle";
    EXPECT_NE(first, texts.picture(name, 14.0, color).image.cacheKey());
    EXPECT_NE(first, texts.picture(name, 12.0, Qt::red).image.cacheKey());
}
