// Drawing straight into the frame's pixels: dots and thin lines land where
// the painter would put them, stay inside the target, and the object list
// keeps the compact types and boxes the culling reads in step with its changes.
#include "MapModel.h"
#include "RenderPixels.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace {

constexpr QRgb kBlank = 0xff000000;
constexpr QRgb kInk = 0xffff0000;

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(kBlank);
    return image;
}

int inkedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == kInk;
    return count;
}

TPMXMapObjectMem objectOfType(std::int32_t type, float x, float y)
{
    TPMXMapObjectMem object;
    object.ObjType = type;
    object.X = x;
    object.Y = y;
    object.Geometry = {{x, y}, {x + 5, y}, {x + 5, y + 5}};
    return object;
}

TEST(PixelWriter, AlignedPixelsAgreeWithQt)
{
    for (const QRectF& box : {QRectF(0.2, 0.7, 1.5, 0.9), QRectF(-3.6, -0.4, 2.0, 2.0), QRectF(5, 5, 1, 1),
                              QRectF(10.5, 3.25, 0, 2.5)})
        EXPECT_EQ(PixelWriter::alignedPixels(box), box.toAlignedRect()) << box.x() << "," << box.y();
}

TEST(PixelWriter, LinesAreWrittenAtTheirPixelsWithTheirThickness)
{
    QImage image = blankImage(20, 20);
    QPainter painter(&image);
    PixelWriter writer(painter, QRectF(image.rect()));
    ASSERT_TRUE(writer.direct());
    writer.line({2.5, 5.5}, {10.5, 5.5}, kInk, 1);
    writer.line({15.5, 2.5}, {15.5, 12.5}, kInk, 2);
    painter.end();
    for (int x = 2; x <= 10; ++x)
        EXPECT_EQ(image.pixel(x, 5), kInk) << x;
    EXPECT_EQ(image.pixel(1, 5), kBlank);
    EXPECT_EQ(image.pixel(11, 5), kBlank);
    EXPECT_EQ(image.pixel(5, 4), kBlank);
    EXPECT_EQ(image.pixel(15, 7), kInk);
    EXPECT_EQ(image.pixel(16, 7), kInk);
    EXPECT_EQ(inkedPixels(image), 9 + 2 * 11);
}

TEST(PixelWriter, DiagonalLineIsConnectedFromEndToEnd)
{
    QImage image = blankImage(20, 20);
    QPainter painter(&image);
    PixelWriter writer(painter, QRectF(image.rect()));
    writer.line({1.5, 1.5}, {18.5, 10.5}, kInk, 1);
    painter.end();
    EXPECT_EQ(image.pixel(1, 1), kInk);
    EXPECT_EQ(image.pixel(18, 10), kInk);
    // One pixel per column along the main direction.
    EXPECT_EQ(inkedPixels(image), 18);
}

TEST(PixelWriter, NothingIsWrittenOutsideTheTargetAndThePainterShiftIsKept)
{
    QImage image = blankImage(40, 40);
    QPainter painter(&image);
    painter.translate(10, 10);
    // The target covers pixels 10..29 of the image.
    PixelWriter writer(painter, QRectF(0, 0, 20, 20));
    ASSERT_TRUE(writer.direct());
    writer.line({-1e6, 5.5}, {1e6, 5.5}, kInk, 3);
    writer.fillOpaque(QRect(-5, -5, 10, 10), kInk);
    writer.line({-100, -100}, {-50, -20}, kInk, 1);
    painter.end();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (image.pixel(x, y) == kInk)
                EXPECT_TRUE(x >= 10 && x < 30 && y >= 10 && y < 30) << x << "," << y;
    EXPECT_EQ(image.pixel(10, 15), kInk);
    EXPECT_EQ(image.pixel(29, 16), kInk);
    EXPECT_EQ(image.pixel(14, 14), kInk);
    EXPECT_EQ(image.pixel(15, 13), kBlank);
}

TEST(PixelWriter, ImagesAreLaidOverAsThePainterLaysThemAndCutAtTheTarget)
{
    // An icon of every kind of pixel: clear, opaque, and seen-through ones
    // of many alphas, whose rounding must agree with the painter's.
    QImage icon(13, 11, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter drawing(&icon);
    drawing.setRenderHint(QPainter::Antialiasing);
    drawing.setPen(QPen(QColor(20, 40, 160), 1.5));
    drawing.setBrush(QColor(220, 60, 30, 170));
    drawing.drawEllipse(QRectF(1, 1, 11, 9));
    drawing.end();
    const QImage land = [] {
        QImage ground(48, 40, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < ground.height(); ++y)
            for (int x = 0; x < ground.width(); ++x)
                ground.setPixel(x, y, qRgb(200 + x, 150 + 2 * y, 90 + x + y));
        return ground;
    }();
    // Between pixels, on a half (rounded up as the painter does) and
    // reaching out of the target on every side.
    for (const QPointF at : {QPointF(10, 8), QPointF(12.3, 7.7), QPointF(14.5, 9.5), QPointF(-6.4, -3.5),
                             QPointF(30.6, 25.2)}) {
        QImage painters = land;
        QPainter painter(&painters);
        painter.translate(4, 3);
        painter.setClipRect(QRectF(0, 0, 36, 30));
        painter.drawImage(at, icon);
        painter.end();
        QImage ours = land;
        QPainter oursPainter(&ours);
        oursPainter.translate(4, 3);
        PixelWriter writer(oursPainter, QRectF(0, 0, 36, 30));
        ASSERT_TRUE(writer.direct());
        writer.blendImage(at, icon);
        oursPainter.end();
        for (int y = 0; y < land.height(); ++y)
            for (int x = 0; x < land.width(); ++x)
                ASSERT_EQ(ours.pixel(x, y), painters.pixel(x, y))
                    << "pixel " << x << "," << y << " with the icon at " << at.x() << "," << at.y();
    }
}

TEST(PixelWriter, OtherDevicesGoThroughThePainter)
{
    QImage scaled = blankImage(10, 10);
    QPainter scaledPainter(&scaled);
    scaledPainter.scale(2, 2);
    EXPECT_FALSE(PixelWriter(scaledPainter, QRectF(0, 0, 5, 5)).direct());
    PixelWriter(scaledPainter, QRectF(0, 0, 5, 5)).fill(QRect(1, 1, 1, 1), QColor(kInk));
    scaledPainter.end();
    EXPECT_EQ(scaled.pixel(2, 2), kInk);
    EXPECT_EQ(scaled.pixel(3, 3), kInk);
    EXPECT_EQ(scaled.pixel(1, 1), kBlank);
}

TEST(MapModelTypes, FollowAssignAppendReplaceAndRemove)
{
    MapModel model;
    model.assign({objectOfType(otBuilding, 0, 0), objectOfType(otRoad, 10, 10)});
    EXPECT_EQ(model.typeAt(0), otBuilding);
    EXPECT_EQ(model.typeAt(1), otRoad);
    const int appended = model.append(objectOfType(otWater, 20, 20));
    EXPECT_EQ(model.typeAt(appended), otWater);
    ASSERT_TRUE(model.replace(0, objectOfType(otMicrodistrict, 40, 50)));
    EXPECT_EQ(model.typeAt(0), otMicrodistrict);
    // The packed boxes follow the geometry as the spatial index does.
    const MapBox moved = model.boxes()[0];
    EXPECT_EQ(QRectF(QPointF(moved.minX, moved.minY), QPointF(moved.maxX, moved.maxY)), QRectF(40, 50, 5, 5));
    EXPECT_EQ(model.bounds(0), QRectF(40, 50, 5, 5));
    EXPECT_EQ(model.types().size(), model.boxes().size());
    ASSERT_TRUE(model.remove(1));
    EXPECT_EQ(model.typeAt(1), -1);
    model.append(objectOfType(1000, 30, 30));
    EXPECT_EQ(model.typeAt(3), -1);
}

} // namespace
