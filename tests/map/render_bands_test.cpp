// A large frame drawn by several threads in bands has the ground a single
// thread draws: nothing doubled or lost along the seams,
// wide roads and raised roofs included.
#include "MapRenderer.h"
#include "RenderBands.h"
#include "RenderLayers.h"
#include "SyntheticCity.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

namespace {

struct BandScene {
    MapModel model = syntheticCity({.buildings = 20000, .roadSegments = 2000, .otherObjects = 300, .seed = 7});
    Viewport view;
    MapOptions options;
    PaintObjectHook onPaintObject;
    PaintPolyLineHook onPaintPolyLine;

    BandScene(double pixelsPerMetre, bool view3D)
    {
        view.setSize(QSize(1280, 720));
        view.centreOn(0, 0, pixelsPerMetre * kPixelsPerMetreUnit);
        options.View3D = view3D;
    }

    // The ground into an image whose top-left corner is shifted, as a frame
    // drawn into part of a larger picture is.
    // Bands list their objects in the room bandLists keeps from an earlier frame.
    QImage draw(int threads, std::vector<VisibleByType>& bandLists, BandBalance balance = {}) const
    {
        QImage image(view.size() + QSize(10, 16), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        painter.translate(10, 16);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const RenderScene scene{model, nullptr, view, {}, options, onPaintObject, onPaintPolyLine};
        RenderFrame frame(scene, painter, QRect(QPoint(0, 0), view.size()));
        collectVisible(frame);
        if (threads == 0) {
            painter.setClipRect(frame.pixels);
            drawGround(frame);
        } else {
            drawInBands(frame, threads, BandWork{drawGround, [] {}, {}}, bandLists, balance);
        }
        return image;
    }
    QImage draw(int threads) const
    {
        std::vector<VisibleByType> bandLists;
        return draw(threads, bandLists);
    }
};

// The largest difference of a colour channel between the two images.
int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

} // namespace

TEST(RenderBands, BandsGiveThePixelsOfTheWholeFrameAtEveryScale)
{
    struct Case {
        const char* name;
        double pixelsPerMetre;
        bool view3D;
    };
    for (const Case& scale : {Case{"whole city", 0.2, false}, Case{"district", 0.8, false},
                              Case{"street level", 3.0, false}, Case{"street level in 3D", 3.0, true}}) {
        const BandScene scene(scale.pixelsPerMetre, scale.view3D);
        const QImage whole = scene.draw(0);
        // A shape cut at a seam may be smoothed by the engine's own filler
        // instead of the painter's, which rounds its edge pixels a few steps
        // apart; a missing outline or fill differs by tens.
        constexpr int kRounding = 8;
        EXPECT_LE(largestDifference(whole, scene.draw(1)), kRounding) << scale.name << ", two bands";
        EXPECT_LE(largestDifference(whole, scene.draw(3)), kRounding) << scale.name << ", three bands on three threads";
        // Bands cut where a frame before found its work: the top band took
        // longest, so the cuts move up, off the rows of equal thirds.
        std::vector<VisibleByType> bandLists;
        BandBalance learnt;
        learnt.learn({16, 256, 496, 736}, {{0, 5}, {0, 1}, {0, 1}});
        ASSERT_NE(learnt.cuts(16, 720, 3)[1], 256);
        EXPECT_LE(largestDifference(whole, scene.draw(3, bandLists, learnt)), kRounding)
            << scale.name << ", bands cut where the work lay";
    }
}

TEST(RenderBands, ListsKeptFromAFrameElsewhereLeaveNothingOfItInTheNext)
{
    std::vector<VisibleByType> bandLists;
    BandScene before(0.8, false);
    before.view.centreOn(300, -200, 0.8 * kPixelsPerMetreUnit);
    before.draw(2, bandLists);
    const BandScene scene(3.0, false);
    const QImage fresh = scene.draw(2);
    EXPECT_EQ(largestDifference(fresh, scene.draw(2, bandLists)), 0);
}

TEST(RenderBands, OnlyAPlainLargeImageDrawnUnscaledIsSplit)
{
    QImage large(1920, 1080, QImage::Format_ARGB32_Premultiplied);
    QPainter plain(&large);
    EXPECT_EQ(bandThreadsFor(plain, QRect(0, 0, 200, 200)), 1) << "too small to share";
    plain.scale(2, 2);
    EXPECT_EQ(bandThreadsFor(plain, large.rect()), 1) << "scaled";
    plain.resetTransform();
    plain.setClipRect(QRect(0, 0, 100, 100));
    EXPECT_EQ(bandThreadsFor(plain, large.rect()), 1) << "clipped by the caller";
    plain.end();
    QImage indexed(1920, 1080, QImage::Format_RGB16);
    QPainter other(&indexed);
    EXPECT_EQ(bandThreadsFor(other, indexed.rect()), 1) << "not a 32-bit image";
}

TEST(RenderBands, WhatHooksRestyleIsDrawnWholeAcrossTheSeams)
{
    BandScene scene(0.8, false);
    scene.onPaintObject = [](const TPMXMapObjectMem& object, QPen& pen, QBrush& brush) {
        if (object.ID % 7 == 0) {
            brush.setColor(Qt::darkGreen);
            pen = QPen(Qt::darkRed, 6);
        }
    };
    // Far wider than any road of the scale: a band must not leave it out
    // because its line runs outside the band.
    scene.onPaintPolyLine = [](const TPMXMapObjectMem& object, tPmxLine& line) {
        line.Width = object.ObjType == otRoad ? 90 : line.Width;
        line.Style = object.ObjType == otRailway ? 1 : 0;
    };
    const QImage whole = scene.draw(0);
    EXPECT_LE(largestDifference(whole, scene.draw(3)), 8);
}

TEST(RenderBands, LabelsDrawnOverEachBandAsOverTheWholeFrame)
{
    // The calling thread draws the names, numbers and icons over its own
    // band as soon as its ground is drawn, and over the other bands after:
    // a label across the cut must come out whole, none twice.
    const BandScene scene(3.0, false);
    const auto render = [&](bool oneThread) {
        QImage image(scene.view.size(), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        // A painter already clipped is drawn by one thread.
        if (oneThread)
            painter.setClipRect(image.rect());
        MapRenderer renderer;
        renderer.render(RenderScene{scene.model, nullptr, scene.view, {}, scene.options}, painter, image.rect());
        return image;
    };
    QImage large(scene.view.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter probe(&large);
    ASSERT_GT(bandThreadsFor(probe, large.rect()), 1) << "the frame must be large enough to share";
    EXPECT_LE(largestDifference(render(true), render(false)), 8);
}
