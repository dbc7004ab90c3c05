// Areas drawn alike are collected into one path: what comes out must be
// what drawing them one by one gives.
#include "AreaBatch.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace {

const QColor kGround(Qt::white);

QImage canvas()
{
    QImage image(120, 80, QImage::Format_ARGB32_Premultiplied);
    image.fill(kGround);
    return image;
}

QPolygonF square(double left, double top, double side, bool clockwise)
{
    QPolygonF ring({QPointF(left, top), QPointF(left + side, top), QPointF(left + side, top + side),
                    QPointF(left, top + side)});
    if (!clockwise)
        std::reverse(ring.begin(), ring.end());
    return ring;
}

} // namespace

TEST(AreaBatch, OverlappingRingsRunningEitherWayAreBothFilled)
{
    QImage image = canvas();
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        AreaBatch batch(painter, QRectF(image.rect()));
        const QBrush brush(QColor(0x20, 0x80, 0x20));
        batch.add(square(10, 10, 40, true), Qt::NoPen, brush);
        batch.add(square(30, 30, 40, false), Qt::NoPen, brush);
    }
    EXPECT_EQ(image.pixelColor(40, 40), QColor(0x20, 0x80, 0x20)) << "the overlap is no hole";
    EXPECT_EQ(image.pixelColor(15, 15), QColor(0x20, 0x80, 0x20));
    EXPECT_EQ(image.pixelColor(65, 65), QColor(0x20, 0x80, 0x20));
    EXPECT_EQ(image.pixelColor(65, 15), kGround);
}

TEST(AreaBatch, TranslucentAreasStillCoverEachOther)
{
    QImage image = canvas();
    {
        QPainter painter(&image);
        AreaBatch batch(painter, QRectF(image.rect()));
        const QBrush glass(QColor(0, 0, 0xff, 100));
        batch.add(square(10, 10, 40, true), Qt::NoPen, glass);
        batch.add(square(30, 30, 40, true), Qt::NoPen, glass);
    }
    EXPECT_LT(image.pixelColor(40, 40).red(), image.pixelColor(15, 15).red()) << "two layers of glass are darker";
}

// Drawn at full size and shrunk, as a preview draws it.
class AreaBatchScaled : public testing::TestWithParam<double> {};

TEST_P(AreaBatchScaled, GivesThePixelsOfAreasDrawnOneByOne)
{
    const double scale = GetParam();
    const QPen outline(QColor(0x80, 0x60, 0x40), 1);
    const QBrush fill(QColor(0xd0, 0xc0, 0xb0));
    const std::vector<QPolygonF> rings{square(5.3, 5.6, 20.2, true), square(40.5, 8.25, 14.6, false),
                                       QPolygonF({QPointF(70.2, 10.7), QPointF(110.4, 30.1), QPointF(80.6, 70.3)})};
    QImage single = canvas();
    {
        QPainter painter(&single);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        painter.setPen(outline);
        painter.setBrush(fill);
        for (const QPolygonF& ring : rings)
            painter.drawPolygon(ring);
    }
    QImage batched = canvas();
    {
        QPainter painter(&batched);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        AreaBatch batch(painter, QRectF(batched.rect()));
        for (const QPolygonF& ring : rings)
            batch.add(ring, outline, fill);
        batch.flush();
        EXPECT_TRUE(painter.testRenderHint(QPainter::Antialiasing)) << "the painter is left as it was found";
    }
    int differing = 0;
    for (int y = 0; y < single.height(); ++y)
        for (int x = 0; x < single.width(); ++x)
            differing += std::abs(qGray(single.pixel(x, y)) - qGray(batched.pixel(x, y))) > 24;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(batched.pixelColor((QPointF(15, 15) * scale).toPoint()), fill.color());
    EXPECT_EQ(batched.pixelColor(119, 79), kGround);
}

INSTANTIATE_TEST_SUITE_P(FullSizeAndPreview, AreaBatchScaled, testing::Values(1.0, 0.3));
