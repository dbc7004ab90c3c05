// The map control as a real window offscreen: Qt events reach the engine's
// instruments and events, frames are kept and redrawn when they should be,
// Fly returns on arrival, and the control's picture is the map as drawn.
#include "MapStyle.h"
#include "TDataMap.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

namespace {

TPMXMapObjectMem building(std::int32_t id, double x, double y, double side)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = otBuilding;
    object.X = static_cast<float>(x);
    object.Y = static_cast<float>(y);
    object.House = QString::number(id);
    const auto h = static_cast<float>(side / 2);
    object.Geometry = {{object.X - h, object.Y - h}, {object.X + h, object.Y - h}, {object.X + h, object.Y + h},
                       {object.X - h, object.Y + h}};
    return object;
}

// A shown 400 x 300 map with two buildings, 5000 on (0, 0).
struct ShownMap {
    TDataMap map;

    ShownMap()
    {
        MapModel model;
        model.append(building(11, 0, 0, 30));
        model.append(building(12, 60, 30, 20));
        map.setModel(std::move(model));
        map.resize(400, 300);
        map.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&map));
        map.ViewXY(0, 0, 5000);
    }
    QPoint pixel(double x, double y) const { return map.view().mapToPixel(x, y).toPoint(); }
    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
    {
        QMouseEvent event(type, QPointF(at), map.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(&map, &event);
    }
    void wheel(QPoint at, int delta)
    {
        QWheelEvent event(QPointF(at), map.mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&map, &event);
    }
};

QColor buildingFill() { return MapStyle::areaStyle(TPMXMapObjectMem{}, 1).fill; }

} // namespace

TEST(TDataMap, PointerClickLocatesTheBuildingUnderIt)
{
    ShownMap shown;
    int located = 0;
    shown.map.OnAfterLocate = [&] { ++located; };
    std::vector<Qt::MouseButton> pressed;
    shown.map.OnMouseDown = [&](Qt::MouseButton button, int, int) { pressed.push_back(button); };
    QTest::mouseClick(&shown.map, Qt::LeftButton, Qt::NoModifier, shown.pixel(60, 30));
    EXPECT_EQ(located, 1);
    EXPECT_EQ(shown.map.CurrentObject().ID, 12);
    EXPECT_EQ(shown.map.CurrentIndex(), 1);
    QTest::mouseClick(&shown.map, Qt::LeftButton, Qt::NoModifier, shown.pixel(100, -100)); // bare land
    EXPECT_EQ(located, 1);
    EXPECT_EQ(pressed, (std::vector<Qt::MouseButton>{Qt::LeftButton, Qt::LeftButton}));
}

TEST(TDataMap, DragInstrumentPansTheMapWithTheMouse)
{
    ShownMap shown;
    shown.map.SetInstrument(inDrag);
    const double xWind = shown.map.GetXWind();
    const double yWind = shown.map.GetYWind();
    const QPoint from(200, 150);
    shown.send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    shown.send(QEvent::MouseMove, from + QPoint(30, 10), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(shown.map.viewInMotion());
    shown.send(QEvent::MouseMove, from + QPoint(46, -20), Qt::NoButton, Qt::LeftButton);
    shown.send(QEvent::MouseButtonRelease, from + QPoint(46, -20), Qt::LeftButton, Qt::NoButton);
    const double ppm = shown.map.view().pixelsPerMetre();
    EXPECT_NEAR(shown.map.GetXWind(), xWind - 46 / ppm, 1e-6);
    EXPECT_NEAR(shown.map.GetYWind(), yWind - 20 / ppm, 1e-6);
    EXPECT_FALSE(shown.map.viewInMotion());
}

TEST(TDataMap, WheelRaisesTheWheelEventsWithTheCursorPixel)
{
    ShownMap shown;
    std::vector<std::tuple<bool, int, int>> turns;
    shown.map.OnMouseWheelUp = [&](int x, int y) { turns.emplace_back(true, x, y); };
    shown.map.OnMouseWheelDown = [&](int x, int y) { turns.emplace_back(false, x, y); };
    shown.wheel(QPoint(120, 80), 120);
    shown.wheel(QPoint(121, 81), -120);
    EXPECT_EQ(turns, (std::vector<std::tuple<bool, int, int>>{{true, 120, 80}, {false, 121, 81}}));
    EXPECT_DOUBLE_EQ(shown.map.GetScale(), 5000) << "the handlers decide about the scale";
}

TEST(TDataMap, MeasureClicksReportDistancesAndEscapeEndsTheLine)
{
    ShownMap shown;
    shown.map.SetInstrument(inMeasure);
    std::vector<std::pair<double, double>> reports;
    shown.map.OnMeasure = [&](double distance, double segment) { reports.emplace_back(distance, segment); };
    QTest::mouseClick(&shown.map, Qt::LeftButton, Qt::NoModifier, shown.pixel(0, 0));
    QTest::mouseClick(&shown.map, Qt::LeftButton, Qt::NoModifier, shown.pixel(30, 40));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_NEAR(reports[1].first, 50, 0.5);
    EXPECT_NEAR(reports[1].second, 50, 0.5);
    EXPECT_TRUE(shown.map.measurement().active());
    QTest::keyClick(&shown.map, Qt::Key_Escape);
    EXPECT_FALSE(shown.map.measurement().active());
}

TEST(TDataMap, FlyReturnsOnArrivalAfterReportingScalesOnTheWay)
{
    ShownMap shown;
    std::vector<double> scales;
    shown.map.OnChangeScale = [&] { scales.push_back(shown.map.GetScale()); };
    QElapsedTimer clock;
    clock.start();
    shown.map.Fly(2000, 1500, 2000, 30);
    const double seconds = static_cast<double>(clock.elapsed()) / 1000;
    EXPECT_FALSE(shown.map.isFlying());
    EXPECT_DOUBLE_EQ(shown.map.GetScale(), 2000);
    EXPECT_NEAR(shown.map.view().centre().x(), 2000, 1e-3);
    EXPECT_NEAR(shown.map.view().centre().y(), 1500, 1e-3);
    ASSERT_GT(scales.size(), 5u);
    EXPECT_LT(*std::min_element(scales.begin(), scales.end()), 2000) << "the flight zooms out on the way";
    EXPECT_GE(seconds, 0.2);
    EXPECT_LT(seconds, 10);
}

TEST(TDataMap, FlyToWhereTheViewAlreadyIsReturnsAtOnce)
{
    ShownMap shown;
    QElapsedTimer clock;
    clock.start();
    shown.map.Fly(0, 0, 5000, 15);
    EXPECT_LT(clock.elapsed(), 200);
    EXPECT_DOUBLE_EQ(shown.map.GetScale(), 5000);
}

TEST(TDataMap, PictureIsTheMapAsDrawnAndPaintHooksColourIt)
{
    ShownMap shown;
    shown.map.OnPaintObject = [](const TPMXMapObjectMem& object, QPen&, QBrush& brush) {
        if (object.ID == 12)
            brush.setColor(QColor(0, 0x80, 0));
    };
    shown.map.ForceRedraw = true;
    shown.map.Risovan();
    const QImage picture = shown.map.Picture();
    ASSERT_EQ(picture.size(), QSize(400, 300));
    EXPECT_EQ(picture.pixelColor(shown.pixel(60, 30)), QColor(0, 0x80, 0));
    EXPECT_EQ(picture.pixelColor(shown.pixel(-10, 0)), buildingFill());
    const QImage grabbed = shown.map.grab().toImage().convertToFormat(picture.format());
    EXPECT_EQ(grabbed.pixelColor(shown.pixel(60, 30)), QColor(0, 0x80, 0));
}

TEST(TDataMap, NothingIsRedrawnWhilePaintIsDisabled)
{
    ShownMap shown;
    const QImage before = shown.map.grab().toImage();
    shown.map.DisablePaint();
    shown.map.SetXWind(shown.map.GetXWind() + 40);
    EXPECT_EQ(shown.map.grab().toImage(), before);
    shown.map.EnablePaint();
    EXPECT_NE(shown.map.grab().toImage(), before);
}

TEST(TDataMap, ContextMenuPopsUpOnlyWithAutoPopup)
{
    ShownMap shown;
    QMenu menu;
    menu.addAction(QStringLiteral("Добавить в дневник"));
    shown.map.PopupMenu = &menu;
    shown.map.AutoPopup = false;
    QContextMenuEvent refused(QContextMenuEvent::Mouse, QPoint(50, 50), shown.map.mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(&shown.map, &refused);
    EXPECT_FALSE(menu.isVisible());
    shown.map.AutoPopup = true;
    QContextMenuEvent allowed(QContextMenuEvent::Mouse, QPoint(50, 50), shown.map.mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(&shown.map, &allowed);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

TEST(TDataMap, EnteringTheMapRaisesMouseEnter)
{
    ShownMap shown;
    int entered = 0;
    shown.map.OnMouseEnter = [&] { ++entered; };
    QEnterEvent event(QPointF(10, 10), QPointF(10, 10), shown.map.mapToGlobal(QPointF(10, 10)));
    QApplication::sendEvent(&shown.map, &event);
    EXPECT_EQ(entered, 1);
}

TEST(TDataMap, ResizingKeepsTheMapPointInTheMiddle)
{
    ShownMap shown;
    shown.map.ViewXY(120, -40, 3000);
    shown.map.resize(640, 200);
    QTest::qWait(1);
    EXPECT_EQ(shown.map.viewSize(), QSize(640, 200));
    EXPECT_NEAR(shown.map.view().centre().x(), 120, 1e-6);
    EXPECT_NEAR(shown.map.view().centre().y(), -40, 1e-6);
    EXPECT_DOUBLE_EQ(shown.map.GetScale(), 3000);
}
