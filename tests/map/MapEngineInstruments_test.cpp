// The instruments driven by mouse calls: pointer, drag, measure and scale;
// the wheel, and the fly-to animation.
#include "MapEngine.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TPMXMapObjectMem square(std::int32_t type, float left, float bottom, float size)
{
    TPMXMapObjectMem object;
    object.ObjType = type;
    object.Geometry = {{left, bottom}, {left + size, bottom}, {left + size, bottom + size}, {left, bottom + size}};
    object.X = left + size / 2;
    object.Y = bottom + size / 2;
    return object;
}

// A view of 1000 x 1000 pixels at one pixel per metre: the map point (x, y)
// lies under the pixel (x, 1000 - y).
MapEngine metreEngine()
{
    MapEngine engine;
    engine.setViewSize({1000, 1000});
    MapModel model;
    model.append(square(otDistrict, 0, 0, 1000));         // ID 1
    model.append(square(otBuilding, 100, 100, 50));       // ID 2
    TPMXMapObjectMem label;
    label.ObjType = otLabel;
    label.X = 110;
    label.Y = 110;
    model.append(label);                                   // ID 3
    engine.setModel(std::move(model));
    engine.ViewXY(500, 500, kPixelsPerMetreUnit);
    return engine;
}

QPointF pixelOfPoint(double x, double y) { return {x, 1000 - y}; }

} // namespace

TEST(MapEngineInstruments, PointerMakesTheClickedObjectCurrent)
{
    MapEngine engine = metreEngine();
    ASSERT_EQ(engine.GetInstrument(), inPointer);
    int located = 0;
    engine.OnAfterLocate = [&] { ++located; };

    engine.mouseDown(pixelOfPoint(140, 140), Qt::LeftButton);
    EXPECT_EQ(located, 1);
    EXPECT_EQ(engine.CurrentObject().ID, 2);
    EXPECT_EQ(engine.CurrentObject().ObjType, otBuilding);

    engine.mouseDown(pixelOfPoint(111, 109), Qt::LeftButton);
    EXPECT_EQ(engine.CurrentObject().ID, 3); // the label over the building

    engine.mouseDown(pixelOfPoint(600, 600), Qt::LeftButton);
    EXPECT_EQ(engine.CurrentObject().ID, 1);
    EXPECT_EQ(engine.CurrentIndex(), 0);

    engine.mouseDown(pixelOfPoint(140, 140), Qt::RightButton); // the context menu's click
    EXPECT_EQ(engine.CurrentObject().ID, 1);
    engine.mouseDown(pixelOfPoint(2000, 2000), Qt::LeftButton); // nothing there
    EXPECT_EQ(engine.CurrentObject().ID, 1);
    EXPECT_EQ(located, 3);

    engine.SetFilter(true);
    engine.SetFilterMassiv(otBuilding, false);
    engine.SetFilterKateg(otBuilding, false);
    engine.mouseDown(pixelOfPoint(140, 140), Qt::LeftButton);
    EXPECT_EQ(engine.CurrentObject().ID, 1); // hidden buildings are not picked
}

TEST(MapEngineInstruments, MouseEventsReportPixels)
{
    MapEngine engine = metreEngine();
    QPoint moved;
    Qt::MouseButton pressed = Qt::NoButton;
    bool entered = false;
    engine.OnMouseMove = [&](int x, int y) { moved = {x, y}; };
    engine.OnMouseDown = [&](Qt::MouseButton button, int, int) { pressed = button; };
    engine.OnMouseEnter = [&] { entered = true; };
    engine.mouseMove({12.4, 30.6}, Qt::NoButton);
    engine.mouseDown({5, 5}, Qt::RightButton);
    engine.mouseEnter();
    EXPECT_EQ(moved, QPoint(12, 31));
    EXPECT_EQ(pressed, Qt::RightButton);
    EXPECT_TRUE(entered);
    EXPECT_NEAR(engine.GetMouseX(), 5, 1e-6);
    EXPECT_NEAR(engine.GetMouseY(), 995, 1e-6);
}

TEST(MapEngineInstruments, MeasureAddsPointsAndReportsMetres)
{
    MapEngine engine = metreEngine();
    engine.SetInstrument(inMeasure);
    std::vector<std::pair<double, double>> reports;
    engine.OnMeasure = [&](double distance, double segment) { reports.emplace_back(distance, segment); };

    engine.mouseDown(pixelOfPoint(0, 0), Qt::LeftButton);
    engine.mouseUp(pixelOfPoint(0, 0), Qt::LeftButton);
    engine.mouseDown(pixelOfPoint(300, 0), Qt::LeftButton);
    engine.mouseMove(pixelOfPoint(350, 200), Qt::NoButton); // no report while moving
    engine.mouseDown(pixelOfPoint(300, 400), Qt::LeftButton);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_DOUBLE_EQ(reports[0].first, 0);
    EXPECT_NEAR(reports[1].first, 300, 1e-3);
    EXPECT_NEAR(reports[1].second, 300, 1e-3);
    EXPECT_NEAR(reports[2].first, 700, 1e-3);
    EXPECT_NEAR(reports[2].second, 400, 1e-3);

    // While measuring the line runs on to the cursor.
    engine.mouseMove(pixelOfPoint(600, 400), Qt::NoButton);
    ASSERT_EQ(engine.scene().measureLine.size(), 4u);
    EXPECT_NEAR(engine.scene().measureLine.back().x, 600, 1e-3);

    engine.mouseDoubleClick(pixelOfPoint(300, 400), Qt::LeftButton); // ends it
    EXPECT_FALSE(engine.measurement().active());
    EXPECT_EQ(engine.scene().measureLine.size(), 3u); // kept on show
    engine.mouseDown(pixelOfPoint(10, 10), Qt::LeftButton); // a new line
    EXPECT_DOUBLE_EQ(reports.back().first, 0);
    engine.mouseDown(pixelOfPoint(10, 30), Qt::LeftButton);
    EXPECT_NEAR(reports.back().first, 20, 1e-3);
    EXPECT_TRUE(engine.escapePressed());
    EXPECT_FALSE(engine.measurement().active());
    EXPECT_FALSE(engine.escapePressed());

    engine.SetInstrument(inPointer);
    EXPECT_TRUE(engine.scene().measureLine.empty());
}

TEST(MapEngineInstruments, DragPansTheMapWithTheMouse)
{
    MapEngine engine = metreEngine();
    engine.SetInstrument(inDrag);
    const QPointF grabbed = engine.view().pixelToMap({400, 400});
    engine.mouseDown({400, 400}, Qt::LeftButton);
    engine.mouseMove({450, 380}, Qt::LeftButton);
    EXPECT_TRUE(engine.viewInMotion());
    engine.mouseMove({520, 300}, Qt::LeftButton);
    engine.mouseUp({520, 300}, Qt::LeftButton);
    EXPECT_FALSE(engine.viewInMotion());
    const QPointF under = engine.view().pixelToMap({520, 300});
    EXPECT_NEAR(under.x(), grabbed.x(), 1e-6);
    EXPECT_NEAR(under.y(), grabbed.y(), 1e-6);
    engine.mouseMove({0, 0}, Qt::NoButton); // released: no more panning
    EXPECT_NEAR(engine.view().pixelToMap({520, 300}).x(), grabbed.x(), 1e-6);
}

TEST(MapEngineInstruments, ScaleInstrumentZoomsAboutClicksAndToBoxes)
{
    MapEngine engine = metreEngine();
    engine.SetInstrument(inScale);
    engine.SetStepLinza(0); // as an edition without the setting: the usual factor
    const double start = engine.GetScale();
    const QPointF clicked(200, 300);
    const QPointF point = engine.view().pixelToMap(clicked);

    engine.mouseDown(clicked, Qt::LeftButton);
    engine.mouseUp(clicked, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(engine.GetScale(), 2 * start);
    EXPECT_NEAR(engine.view().pixelToMap(clicked).x(), point.x(), 1e-6);
    EXPECT_NEAR(engine.view().pixelToMap(clicked).y(), point.y(), 1e-6);

    engine.mouseDown(clicked, Qt::RightButton);
    EXPECT_DOUBLE_EQ(engine.GetScale(), start);
    EXPECT_NEAR(engine.view().pixelToMap(clicked).x(), point.x(), 1e-6);

    engine.SetStepLinza(3);
    const QPointF boxCentre = engine.view().pixelToMap({150, 250});
    engine.mouseDown({100, 200}, Qt::LeftButton);
    engine.mouseMove({150, 260}, Qt::LeftButton);
    ASSERT_TRUE(engine.scene().zoomRectangle.has_value());
    engine.mouseMove({200, 300}, Qt::LeftButton);
    engine.mouseUp({200, 300}, Qt::LeftButton);
    EXPECT_FALSE(engine.scene().zoomRectangle.has_value());
    EXPECT_DOUBLE_EQ(engine.GetScale(), 10 * start); // a 100-pixel box fills the 1000-pixel view
    EXPECT_NEAR(engine.view().centre().x(), boxCentre.x(), 1e-6);
    EXPECT_NEAR(engine.view().centre().y(), boxCentre.y(), 1e-6);
}

TEST(MapEngineInstruments, WheelGoesToTheApplicationOrZoomsByItself)
{
    MapEngine engine = metreEngine();
    const double start = engine.GetScale();
    engine.mouseWheel({300, 300}, true);
    EXPECT_DOUBLE_EQ(engine.GetScale(), 2 * start);
    engine.mouseWheel({300, 300}, false);
    EXPECT_DOUBLE_EQ(engine.GetScale(), start);

    int ups = 0;
    int downs = 0;
    engine.OnMouseWheelUp = [&](int, int) { ++ups; };
    engine.OnMouseWheelDown = [&](int, int) { ++downs; };
    engine.mouseWheel({300, 300}, true);
    engine.mouseWheel({300, 300}, false);
    engine.mouseWheel({300, 300}, false);
    EXPECT_EQ(ups, 1);
    EXPECT_EQ(downs, 2);
    EXPECT_DOUBLE_EQ(engine.GetScale(), start);
}

TEST(MapEngineInstruments, FlyArrivesExactlyAndReportsScaleOnTheWay)
{
    MapEngine engine = metreEngine();
    engine.ViewXY(500, 500, 216);
    std::vector<double> scales;
    engine.OnChangeScale = [&] { scales.push_back(engine.GetScale()); };

    engine.startFly(125, 125, 5000, 15);
    ASSERT_TRUE(engine.isFlying());
    const double duration = engine.flyDuration();
    EXPECT_GT(duration, 0.2);
    int steps = 0;
    for (double t = 0; !engine.advanceFly(t); t += duration / 50)
        ++steps;
    EXPECT_GE(steps, 49);
    EXPECT_FALSE(engine.isFlying());
    EXPECT_DOUBLE_EQ(engine.GetScale(), 5000);
    EXPECT_NEAR(engine.view().centre().x(), 125, 1e-6);
    EXPECT_NEAR(engine.view().centre().y(), 125, 1e-6);
    EXPECT_EQ(static_cast<int>(scales.size()), steps + 1);

    // A faster pace takes less time over the same path.
    engine.ViewXY(500, 500, 216);
    engine.startFly(125, 125, 5000, 30);
    EXPECT_NEAR(engine.flyDuration(), duration / 2, 1e-9);
    EXPECT_TRUE(engine.advanceFly(1e9));
}

TEST(MapEngineInstruments, AZoomOnlyFlightZoomsSteadily)
{
    MapEngine engine = metreEngine();
    engine.ViewXY(500, 500, 500);
    engine.startFly(500, 500, 8000, 30);
    const double duration = engine.flyDuration();
    std::vector<double> logScales;
    for (int i = 0; i <= 10; ++i) {
        engine.advanceFly(duration * i / 10);
        logScales.push_back(std::log(engine.GetScale()));
    }
    // Equal time, equal factor: the zoom neither lurches nor stalls.
    for (int i = 1; i <= 10; ++i)
        EXPECT_NEAR(logScales[i] - logScales[i - 1], std::log(16.0) / 10, 1e-6);
}

TEST(MapEngineInstruments, UnknownInstrumentsAreIgnored)
{
    MapEngine engine = metreEngine();
    engine.SetInstrument(7);
    EXPECT_EQ(engine.GetInstrument(), inPointer);
}
