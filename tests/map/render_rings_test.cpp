// Rings filled and outlined straight into the frame: the pixels the
// painter's own polygon fill and one- and two-pixel pens give, rings that
// reach out of the target cut at its edge, and a large ring's box left clean
// for the small ring after it.
#include "RenderPixels.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace {

const QColor kRingsLand(0xf2, 0xef, 0xe9);
const QColor kFill(0x30, 0x60, 0x90);
const QColor kOutline(0x90, 0x20, 0x20);

QImage ringsLandImage(QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(kRingsLand);
    return image;
}

QImage drawnByPainter(QSize size, const std::function<void(QPainter&)>& draw)
{
    QImage image = ringsLandImage(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return image;
}

QImage drawnByWriter(QSize size, const std::function<void(PixelWriter&)>& draw)
{
    QImage image = ringsLandImage(size);
    QPainter painter(&image);
    PixelWriter writer(painter, QRectF(image.rect()));
    EXPECT_TRUE(writer.direct());
    draw(writer);
    return image;
}

int ringsChannelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// The largest difference of a pixel, and how many pixels differ by more than a tenth of the colour range.
std::pair<int, int> compareRings(const QImage& ours, const QImage& painters) {
    int largest = 0;
    int different = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
            const int difference = ringsChannelDifference(ours.pixel(x, y), painters.pixel(x, y));
            largest = std::max(largest, difference);
            different += difference > 25;
        }
    return {largest, different};
}

// A district's outline: a star of hundreds of points, most rows crossing many edges.
QPolygonF manyPointed()
{
    QPolygonF star;
    for (int i = 0; i < 360; ++i) {
        const double angle = i * M_PI / 180;
        const double radius = i % 2 == 0 ? 40.3 : 28.6 + (i % 7);
        star << QPointF(60 + radius * std::cos(angle), 45 + radius * std::sin(angle));
    }
    return star;
}

const std::vector<QPolygonF>& rings()
{
    static const std::vector<QPolygonF> shapes{
        QPolygonF({QPointF(5.3, 5.6), QPointF(40.7, 5.6), QPointF(40.7, 30.2), QPointF(5.3, 30.2)}), // upright
        QPolygonF({QPointF(60.2, 10.7), QPointF(110.4, 30.1), QPointF(70.6, 70.3)}),                 // sharp corners
        QPolygonF({QPointF(10, 40), QPointF(50, 45.5), QPointF(30.25, 60), QPointF(45, 85), QPointF(8, 80)}), // a notch
        QPolygonF({QPointF(80, 75), QPointF(84.4, 76.1), QPointF(83.2, 80.3), QPointF(79.1, 79.6)}), // a few pixels
        manyPointed(),
    };
    return shapes;
}

} // namespace

TEST(RingWriter, FillsGiveThePaintersSmoothedPolygons)
{
    const QSize size(120, 90);
    for (std::size_t i = 0; i < rings().size(); ++i) {
        const QPolygonF& ring = rings()[i];
        const QImage ours = drawnByWriter(size, [&](PixelWriter& writer) {
            writer.fillRing(ring.constData(), static_cast<int>(ring.size()), kFill.rgba(), true);
        });
        const QImage painters = drawnByPainter(size, [&](QPainter& painter) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(kFill);
            painter.drawPolygon(ring);
        });
        SCOPED_TRACE(testing::Message() << "ring " << i);
        // Both smooth by the covered area: only rounding tells them apart.
        const auto [largest, different] = compareRings(ours, painters);
        EXPECT_LE(largest, 12);
        EXPECT_EQ(different, 0);
    }
}

TEST(RingWriter, UnsmoothedFillsGiveThePaintersUnsmoothedPolygons)
{
    const QSize size(120, 90);
    for (std::size_t i = 0; i < rings().size(); ++i) {
        const QPolygonF& ring = rings()[i];
        const QImage ours = drawnByWriter(size, [&](PixelWriter& writer) {
            writer.fillRing(ring.constData(), static_cast<int>(ring.size()), kFill.rgba(), false);
        });
        const QImage painters = drawnByPainter(size, [&](QPainter& painter) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setPen(Qt::NoPen);
            painter.setBrush(kFill);
            painter.drawPolygon(ring, Qt::WindingFill);
        });
        SCOPED_TRACE(testing::Message() << "ring " << i);
        // Both take the pixels whose centres lie inside; the painter's fixed
        // point may round a centre lying on an edge the other way, a few
        // times a ring and about once in a few dozen edges.
        EXPECT_LE(compareRings(ours, painters).second, 2 + ring.size() / 32);
    }
    const QPolygonF square({QPointF(10.2, 10.7), QPointF(20.7, 10.7), QPointF(20.7, 20.3), QPointF(10.2, 20.3)});
    const QImage ours = drawnByWriter(QSize(30, 30), [&](PixelWriter& writer) {
        writer.fillRing(square.constData(), static_cast<int>(square.size()), kFill.rgba(), false);
    });
    EXPECT_EQ(ours.pixel(10, 15), kFill.rgba()) << "centre inside";
    EXPECT_EQ(ours.pixel(20, 15), kFill.rgba()) << "centre inside";
    EXPECT_EQ(ours.pixel(15, 10), kRingsLand.rgba()) << "centre outside";
    EXPECT_EQ(ours.pixel(15, 20), kRingsLand.rgba()) << "centre outside";
}

TEST(RingWriter, ThinOutlinesGiveThePaintersRoundJoinedPens)
{
    const QSize size(120, 90);
    for (const double width : {1.0, 2.0}) {
        for (std::size_t i = 0; i < rings().size(); ++i) {
            const QPolygonF& ring = rings()[i];
            const QImage ours = drawnByWriter(size, [&](PixelWriter& writer) {
                writer.strokeRing(ring.constData(), static_cast<int>(ring.size()), width, kOutline.rgba());
            });
            const QImage painters = drawnByPainter(size, [&](QPainter& painter) {
                painter.setPen(QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                painter.setBrush(Qt::NoBrush);
                painter.drawPolygon(ring);
            });
            SCOPED_TRACE(testing::Message() << "ring " << i << ", width " << width);
            // Along the sides the shares agree; at a corner the pieces
            // overlap where the painter draws an arc, and a few pixels
            // there differ, a pixel-wide pen's only a little.
            const auto [largest, different] = compareRings(ours, painters);
            if (width == 1.0)
                EXPECT_LT(largest, 110);
            EXPECT_LE(different, 4 * static_cast<int>(ring.size()));
        }
    }
}

TEST(RingWriter, APixelWideOutlineCoversWhatAHairThinnerOneDoes)
{
    // A pen of exactly one pixel takes a shorter way to the same shares: a
    // pen a millionth thinner, worked out the long way, differs from it by
    // rounding at most, whatever the slope and wherever the pieces end.
    const QSize size(120, 90);
    std::vector<QPolygonF> shapes = rings();
    shapes.push_back(QPolygonF({QPointF(3.5, 3.5), QPointF(100.5, 3.5), QPointF(100.5, 3.5 + 1e-9)}));
    shapes.push_back(QPolygonF({QPointF(-5.2, 44.9), QPointF(130.7, 45.1), QPointF(64.3, 95.6), QPointF(61.1, -4.2)}));
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const QPolygonF& ring = shapes[i];
        const auto stroked = [&](double width) {
            return drawnByWriter(size, [&](PixelWriter& writer) {
                writer.strokeRing(ring.constData(), static_cast<int>(ring.size()), width, kOutline.rgba());
            });
        };
        const QImage pixelWide = stroked(1.0);
        const QImage thinner = stroked(1.0 - 1e-6);
        EXPECT_LE(compareRings(pixelWide, thinner).first, 1) << "ring " << i;
        EXPECT_NE(pixelWide, ringsLandImage(size)) << "ring " << i;
    }
}

namespace {

// The share of the pixel at (x, y) that a line width wide from `from` to
// `to` covers, as thinLine's model has it (a band cut square at the ends of
// its main direction), counted on a fine grid of samples.
double sampledShare(QPointF from, QPointF to, double width, int x, int y)
{
    const bool steep = std::abs(to.y() - from.y()) > std::abs(to.x() - from.x());
    const auto along = [&](QPointF point) { return steep ? point.y() : point.x(); };
    const auto across = [&](QPointF point) { return steep ? point.x() : point.y(); };
    if (along(from) > along(to))
        std::swap(from, to);
    const double slope = (across(to) - across(from)) / (along(to) - along(from));
    const double half = width * std::sqrt(1 + slope * slope) / 2;
    constexpr int kSamples = 32;
    int inside = 0;
    for (int i = 0; i < kSamples; ++i)
        for (int j = 0; j < kSamples; ++j) {
            const QPointF sample(x + (i + 0.5) / kSamples, y + (j + 0.5) / kSamples);
            const double u = along(sample);
            const double middle = across(from) + slope * (u - along(from));
            inside += u >= along(from) && u <= along(to) && std::abs(across(sample) - middle) <= half;
        }
    return double(inside) / (kSamples * kSamples);
}

} // namespace

TEST(RingWriter, LinesAFewPixelsWideCoverEachPixelByTheShareOfItTheyCover)
{
    const QSize size(100, 90);
    const std::vector<std::pair<QPointF, QPointF>> lines{{QPointF(10.3, 20.7), QPointF(90.6, 31.2)},
                                                         {QPointF(95.8, 20.9), QPointF(12.1, 70.4)},
                                                         {QPointF(40.2, 5.5), QPointF(52.7, 85.1)}};
    for (const auto& [from, to] : lines)
        for (const double width : {1.5, 2.0, 3.0, 4.0}) {
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::white);
            QPainter painter(&image);
            PixelWriter writer(painter, QRectF(image.rect()));
            writer.thinLine(from, to, width, qRgb(0, 0, 0));
            painter.end();
            const QRectF near = QRectF(from, to).normalized().adjusted(-width - 1, -width - 1, width + 1, width + 1);
            int largest = 0;
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x) {
                    const int ours = 255 - qRed(image.pixel(x, y));
                    const bool reached = near.intersects(QRectF(x, y, 1, 1));
                    const double share = reached ? sampledShare(from, to, width, x, y) : 0;
                    largest = std::max(largest, std::abs(ours - static_cast<int>(std::lround(255 * share))));
                }
            EXPECT_LE(largest, 5) << "width " << width << " from " << from.x() << "," << from.y();
        }
}

TEST(RingWriter, WideOutlinesAreStrokedWithRoundJoinsAllRound)
{
    const QPolygonF& ring = rings()[0];
    const QImage ours = drawnByWriter(QSize(60, 45), [&](PixelWriter& writer) {
        writer.strokeRing(ring.constData(), static_cast<int>(ring.size()), 6, kOutline.rgba());
    });
    EXPECT_EQ(ours.pixel(5, 30), kOutline.rgba()) << "the corner where the ring closes is joined";
    EXPECT_EQ(ours.pixel(5, 5), kOutline.rgba());
    EXPECT_EQ(ours.pixel(23, 18), kRingsLand.rgba()) << "the middle stays open";
    EXPECT_EQ(ours.pixel(1, 1), kRingsLand.rgba()) << "nothing beyond the reach of the pen";
}

TEST(RingWriter, RingsReachingOutAreCutAtTheTargetAndLeaveNoTraceForTheNext)
{
    QImage image = ringsLandImage(QSize(60, 60));
    QPainter painter(&image);
    painter.translate(10, 10);
    // The target covers pixels 10..49 of the image.
    PixelWriter writer(painter, QRectF(0, 0, 40, 40));
    ASSERT_TRUE(writer.direct());
    const QPolygonF huge({QPointF(-1e6, -1e6), QPointF(20.5, -1e6), QPointF(20.5, 1e6), QPointF(-1e6, 1e6)});
    writer.fillRing(huge.constData(), static_cast<int>(huge.size()), kFill.rgba(), true);
    writer.strokeRing(huge.constData(), static_cast<int>(huge.size()), 1, kOutline.rgba());
    // A small ring drawn after the large one: anything the large one left
    // in the working rows would show as a stray fill.
    const QPolygonF small({QPointF(30, 30), QPointF(34, 30), QPointF(34, 34), QPointF(30, 34)});
    writer.fillRing(small.constData(), static_cast<int>(small.size()), kFill.rgba(), true);
    painter.end();
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool inTarget = x >= 10 && x < 50 && y >= 10 && y < 50;
            if (!inTarget)
                EXPECT_EQ(image.pixel(x, y), kRingsLand.rgba()) << x << "," << y;
        }
    EXPECT_EQ(image.pixel(10, 10), kFill.rgba());
    EXPECT_EQ(image.pixel(29, 49), kFill.rgba());
    EXPECT_NE(image.pixel(30, 30), kFill.rgba()) << "the outline along the cut side";
    EXPECT_EQ(image.pixel(35, 35), kRingsLand.rgba());
    EXPECT_EQ(image.pixel(42, 42), kFill.rgba()) << "the small ring";
    EXPECT_EQ(image.pixel(45, 45), kRingsLand.rgba()) << "and nothing beside it";
}
