// Wide smoothed lines written straight into the frame: the pixels the
// painter's own round-jointed pen gives, along level and upright lines to
// a level or two, a bend laid down once, a casing that leaves its road's
// middle alone ending in the same picture, and nothing written outside the
// target however far the line reaches, were it a single column.
#include "RenderPixels.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <cmath>

#include <algorithm>
#include <cstdlib>

namespace {

const QColor kLand(0xf2, 0xef, 0xe9);
const QColor kCasing(0xbd, 0xb3, 0xa8);
const QColor kRoad(0x20, 0x30, 0x90);

QImage landImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(kLand);
    return image;
}

QImage strokedByPainter(const QPolygonF& line, double width, QSize size)
{
    QImage image = landImage(size.width(), size.height());
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kRoad, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(line);
    return image;
}

QImage strokedByWriter(const QPolygonF& line, double width, QSize size)
{
    QImage image = landImage(size.width(), size.height());
    QPainter painter(&image);
    PixelWriter writer(painter, QRectF(image.rect()));
    EXPECT_TRUE(writer.direct());
    writer.stroke(line.constData(), static_cast<int>(line.size()), width, kRoad.rgba());
    return image;
}

int channelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

struct Comparison {
    int largestDifference = 0;
    int differentPixels = 0; // by more than a tenth of the colour range
    int inkedByPainter = 0;  // pixels the painter changed at all
};

Comparison compare(const QImage& ours, const QImage& painters, const QRect& part = QRect())
{
    Comparison result;
    const QRect compared = part.isNull() ? ours.rect() : part;
    for (int y = compared.top(); y <= compared.bottom(); ++y)
        for (int x = compared.left(); x <= compared.right(); ++x) {
            const int difference = channelDifference(ours.pixel(x, y), painters.pixel(x, y));
            result.largestDifference = std::max(result.largestDifference, difference);
            result.differentPixels += difference > 25;
            result.inkedByPainter += painters.pixel(x, y) != kLand.rgba();
        }
    return result;
}

} // namespace

// A curve of pieces much shorter than the width, as a real street's
// points come, turning back on itself at the end.
QPolygonF shortPieces()
{
    QPolygonF line;
    for (int step = 0; step <= 24; ++step) {
        const double angle = step * 0.12;
        line << QPointF(60 + 35 * std::cos(angle), 50 + 35 * std::sin(angle) * 0.8);
    }
    line << line[line.size() - 2] + QPointF(0.4, -0.3) << QPointF(20.5, 30.5);
    return line;
}

TEST(StrokeWriter, WideLinesWithBendsAndEndsMatchThePaintersRoundPen)
{
    const QSize size(120, 90);
    const std::vector<QPolygonF> lines{
        QPolygonF({QPointF(10.3, 20.6), QPointF(110.2, 24.1)}),                          // nearly level
        QPolygonF({QPointF(60.5, 5.2), QPointF(61.7, 85.4)}),                            // nearly upright
        QPolygonF({QPointF(10, 80), QPointF(50, 15), QPointF(75.5, 70.25), QPointF(112, 30)}), // sharp bends
        QPolygonF({QPointF(20, 40), QPointF(40.5, 41), QPointF(60, 45), QPointF(80.25, 52)}), // gentle bends
        shortPieces(),
    };
    for (const double width : {2.5, 4.0, 9.0, 16.0}) {
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Comparison result =
                compare(strokedByWriter(lines[i], width, size), strokedByPainter(lines[i], width, size));
            SCOPED_TRACE(testing::Message() << "line " << i << ", width " << width);
            // Smoothed edges are worked out differently (distance against
            // area, an exact arc against the painter's curves at a sharp
            // join), so edge pixels may differ; none by half the contrast
            // of road and land (210), and few by a tenth of it.
            EXPECT_LT(result.largestDifference, 105);
            EXPECT_LE(result.differentPixels, result.inkedByPainter / 12);
            EXPECT_GT(result.inkedByPainter, 0);
        }
    }
}

TEST(StrokeWriter, LevelAndUprightLinesMatchThePainterAlongThemAndCloseToItAtTheirCaps)
{
    // Across a straight edge the share of a pixel a line covers is its
    // distance from the edge: the painter's smoothing and ours agree but
    // for rounding. At the round caps they part a little, as on a curve.
    const QSize size(80, 60);
    const QPolygonF level({QPointF(10.5, 30.25), QPointF(70.5, 30.25)});
    const QPolygonF upright({QPointF(40.3, 8), QPointF(40.3, 52)});
    const QPolygonF shortPiece({QPointF(38, 29), QPointF(41.5, 31.2)});
    for (const double width : {4.0, 9.0, 16.0}) {
        SCOPED_TRACE(testing::Message() << "width " << width);
        const auto compared = [&](const QPolygonF& line, const QRect& part = QRect()) {
            return compare(strokedByWriter(line, width, size), strokedByPainter(line, width, size), part);
        };
        EXPECT_LE(compared(level, QRect(20, 0, 40, 60)).largestDifference, 2);
        EXPECT_LE(compared(upright, QRect(0, 18, 80, 24)).largestDifference, 2);
        for (const QPolygonF& line : {level, upright, shortPiece}) {
            const Comparison whole = compared(line);
            EXPECT_LT(whole.largestDifference, 30);
            EXPECT_GT(whole.inkedByPainter, 0);
        }
    }
}

TEST(StrokeWriter, ATargetOneColumnWideGetsThatColumnOfTheLine)
{
    const QPolygonF upright({QPointF(40.3, 8), QPointF(40.3, 52)});
    QImage image = landImage(80, 60);
    QPainter painter(&image);
    PixelWriter writer(painter, QRectF(40, 0, 1, 60));
    ASSERT_TRUE(writer.direct());
    writer.stroke(upright.constData(), static_cast<int>(upright.size()), 9, kRoad.rgba());
    painter.end();
    const QImage painters = strokedByPainter(upright, 9, QSize(80, 60));
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) {
            if (x != 40) {
                EXPECT_EQ(image.pixel(x, y), kLand.rgba()) << x << "," << y;
            } else if (y >= 18 && y < 42) {
                EXPECT_LE(channelDifference(image.pixel(x, y), painters.pixel(x, y)), 2) << x << "," << y;
            }
        }
    EXPECT_NE(image.pixel(40, 30), kLand.rgba());
}

TEST(StrokeWriter, ABendIsNoDarkerThanTheStraightOnEitherSide)
{
    // Two pieces meeting at a right angle: each would lay its smoothed edge
    // over the other's at the outer corner if both were blended there.
    const QPolygonF bend({QPointF(10, 50), QPointF(50, 50), QPointF(50, 10)});
    const QImage ours = strokedByWriter(bend, 8, QSize(70, 70));
    const QImage painters = strokedByPainter(bend, 8, QSize(70, 70));
    // Around the outer corner (centre 50,50; radius 4 plus the smoothed
    // edge): an edge pixel blended by both pieces comes out a quarter of the
    // contrast darker, where the two ways of smoothing differ by far less.
    for (int y = 50; y < 58; ++y)
        for (int x = 50; x < 58; ++x)
            EXPECT_LE(channelDifference(ours.pixel(x, y), painters.pixel(x, y)), 30) << x << "," << y;
}

TEST(StrokeWriter, ACasingLeavingItsRoadsMiddleAloneEndsInTheSamePicture)
{
    const QPolygonF road({QPointF(5, 60), QPointF(40, 20.5), QPointF(95, 30), QPointF(130, 75.5)});
    const auto draw = [&](double coveredWidth) {
        QImage image = landImage(140, 90);
        QPainter painter(&image);
        PixelWriter writer(painter, QRectF(image.rect()));
        writer.stroke(road.constData(), static_cast<int>(road.size()), 16, kCasing.rgba(), coveredWidth);
        writer.stroke(road.constData(), static_cast<int>(road.size()), 14, kRoad.rgba());
        return image;
    };
    const QImage whole = draw(0);
    const QImage hollow = draw(14);
    EXPECT_EQ(hollow, whole);
    // And the casing alone really is hollow: its middle keeps the land.
    QImage casingOnly = landImage(140, 90);
    QPainter painter(&casingOnly);
    PixelWriter writer(painter, QRectF(casingOnly.rect()));
    writer.stroke(road.constData(), static_cast<int>(road.size()), 16, kCasing.rgba(), 14);
    painter.end();
    EXPECT_EQ(casingOnly.pixel(70, 25), kLand.rgba());
    EXPECT_NE(whole.pixel(70, 25), kLand.rgba());
}

TEST(StrokeWriter, NothingIsWrittenOutsideTheTargetHoweverFarTheLineReaches)
{
    QImage image = landImage(60, 60);
    QPainter painter(&image);
    painter.translate(10, 10);
    // The target covers pixels 10..49 of the image.
    PixelWriter writer(painter, QRectF(0, 0, 40, 40));
    ASSERT_TRUE(writer.direct());
    const QPolygonF across({QPointF(-1e9, 20), QPointF(1e9, 20.5), QPointF(1e9, 1e9)});
    writer.stroke(across.constData(), static_cast<int>(across.size()), 12, kRoad.rgba());
    const QPolygonF dot({QPointF(39, 39)});
    writer.stroke(dot.constData(), 1, 10, kRoad.rgba());
    painter.end();
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
            if (image.pixel(x, y) != kLand.rgba()) {
                EXPECT_TRUE(x >= 10 && x < 50 && y >= 10 && y < 50) << x << "," << y;
            }
    EXPECT_EQ(image.pixel(10, 30), kRoad.rgba());
    EXPECT_EQ(image.pixel(49, 30), kRoad.rgba());
    EXPECT_EQ(image.pixel(47, 47), kRoad.rgba()) << "a single point is a round dot";
    EXPECT_EQ(image.pixel(20, 20), kLand.rgba());
}
