// The painting hooks: layers by scale, house numbers and their size, the
// selected building's colour counted on a real edition, and the railway style.
#include "Datamodule.h"
#include "MapEngine.h"
#include "PaintHooks.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include "SyntheticCity.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <QCoreApplication>

#include <thread>
#include <vector>

namespace {

void expectLayers(const MapEngine& map, const std::array<bool, 10>& shown)
{
    for (std::size_t type = 0; type < shown.size(); ++type) {
        EXPECT_EQ(map.filters().massiv[type], shown[type]) << "massiv of type " << type;
        EXPECT_EQ(map.filters().kateg[type], shown[type]) << "kateg of type " << type;
    }
}

// Statements the connection runs, as SQLite reports them.
int countStatements(unsigned, void* context, void* statement, void*)
{
    auto* texts = static_cast<QStringList*>(context);
    texts->append(QString::fromUtf8(sqlite3_sql(static_cast<sqlite3_stmt*>(statement))));
    return 0;
}

// A directory where building 700 holds two firms' addresses and 701 none.
class SelectedBuilding : public ::testing::Test {
protected:
    void SetUp() override
    {
        {
            TinyEdition edition(folder.file("plain.sqlite"));
            edition.addFirm({.id = 10, .name = "Аптека"});
            edition.addFirm({.id = 11, .name = "Булочная"});
            edition.addAddress({.id = 1, .objectId = 700, .firmId = 10});
            edition.addAddress({.id = 2, .objectId = 700, .firmId = 11});
            edition.sealAs(folder.file(MapFiles[1]), 1);
        }
        ASSERT_TRUE(dm.OpenEdition(1));
        sqlite3_trace_v2(dm.Con.handle(), SQLITE_TRACE_STMT, countStatements, &statements);

        MapModel model;
        model.append(squareObject(700, otBuilding, 100, 100, 20));
        model.append(squareObject(701, otBuilding, 140, 100, 20));
        model.append(squareObject(800, otDistrict, 100, 100, 400));
        map.setModel(std::move(model));
        map.setViewSize(QSize(200, 200));
        map.ViewXY(120, 100, 6000);
    }

    int countQueries() const
    {
        return static_cast<int>(statements.filter("SELECT Count(ID) AS CntFirms FROM FirmsAdr WHERE Obj_ID").size());
    }

    QColor paintedColor(const TPMXMapObjectMem& object, TSelectedBuildingPainter& painter)
    {
        QPen pen(Qt::black);
        QBrush brush(Qt::gray);
        painter(object, pen, brush);
        EXPECT_EQ(pen.color(), QColor(Qt::black)) << "the pen is the map's";
        return brush.color();
    }

    TemporaryFolder folder;
    CurrentFolder here{folder.path()};
    TDM dm;
    MapEngine map;
    QStringList statements;
};

} // namespace

TEST(PaintLayers, SwitchesTheTablesAbove500AndSmallDetailAbove3000)
{
    MapEngine map;
    map.SetFilterMassiv(otWater, false);
    map.SetFilterKateg(otWater, false);

    map.SetScale(500);
    PaintLayers(map);
    expectLayers(map, {false, false, false, false, true, false, false, false, false, true});

    map.SetScale(500.1);
    PaintLayers(map);
    expectLayers(map, {true, true, true, true, false, true, false, false, false, true});

    map.SetScale(3000);
    PaintLayers(map);
    expectLayers(map, {true, true, true, true, false, true, false, false, false, true});

    map.SetScale(3001);
    PaintLayers(map);
    expectLayers(map, {true, true, true, true, false, true, false, true, true, true});
}

TEST(PaintNumberDom, FontSizeIsTheScaleOver500RoundedHalfToEven)
{
    EXPECT_EQ(HouseNumberFontSize(3001), 6);
    EXPECT_EQ(HouseNumberFontSize(3250), 6) << "6.5";
    EXPECT_EQ(HouseNumberFontSize(3750), 8) << "7.5";
    EXPECT_EQ(HouseNumberFontSize(4250), 8) << "8.5";
    EXPECT_EQ(HouseNumberFontSize(4750), 10) << "9.5";
    EXPECT_EQ(HouseNumberFontSize(4251), 9);
    EXPECT_EQ(HouseNumberFontSize(10000), 20);
}

TEST(PaintNumberDom, HouseNumbersOnlyAbove3000)
{
    MapEngine map;
    map.SetScale(3000);
    PaintNumberDom(map);
    EXPECT_FALSE(map.mpNumberDom());

    map.SetScale(3001);
    PaintNumberDom(map);
    EXPECT_TRUE(map.mpNumberDom());
    EXPECT_EQ(map.options().NumberDomSizeFont, 6);

    map.SetScale(3750);
    PaintNumberDom(map);
    EXPECT_TRUE(map.mpNumberDom());
    EXPECT_EQ(map.options().NumberDomSizeFont, 8);

    map.SetScale(2000);
    PaintNumberDom(map);
    EXPECT_FALSE(map.mpNumberDom());
    EXPECT_EQ(map.options().NumberDomSizeFont, 8) << "the size is left for the next time";
}

TEST(SelectedBuildingColors, GreenWithFirmsRedWithout)
{
    EXPECT_EQ(SelectedBuildingColor(1), QColor(0, 128, 0));
    EXPECT_EQ(SelectedBuildingColor(25), QColor(0, 128, 0));
    EXPECT_EQ(SelectedBuildingColor(0), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromWindowsValue(32768), QColor(0, 128, 0));
    EXPECT_EQ(ColorFromWindowsValue(255), QColor(255, 0, 0));
    EXPECT_EQ(CountFirmsSql(700), "SELECT Count(ID) AS CntFirms FROM FirmsAdr WHERE Obj_ID = 700");
}

TEST_F(SelectedBuilding, IsGreenWithFirmsAndRedWithoutOneQueryPerPaintedCopy)
{
    TSelectedBuildingPainter painter(map, dm.qTemp);
    map.EditObject(map.FindObjectID(700));
    EXPECT_EQ(paintedColor(map.model().object(0), painter), QColor(0, 128, 0));
    EXPECT_EQ(countQueries(), 1);
    EXPECT_EQ(paintedColor(map.model().object(1), painter), QColor(Qt::gray)) << "another building";
    EXPECT_EQ(paintedColor(map.model().object(2), painter), QColor(Qt::gray)) << "a district";
    EXPECT_EQ(countQueries(), 1) << "no query for the objects that are not current";
    EXPECT_EQ(paintedColor(map.model().object(0), painter), QColor(0, 128, 0));
    EXPECT_EQ(countQueries(), 2) << "one more for the next painted copy";
    EXPECT_FALSE(dm.qTemp.Active()) << "the scratch query is closed after the count";

    map.EditObject(map.FindObjectID(701));
    EXPECT_EQ(paintedColor(map.model().object(1), painter), QColor(255, 0, 0));
    EXPECT_EQ(countQueries(), 3);
}

TEST_F(SelectedBuilding, ASelectedDistrictIsNotRecoloured)
{
    TSelectedBuildingPainter painter(map, dm.qTemp);
    map.EditObject(map.FindObjectID(800));
    TPMXMapObjectMem sameId = map.model().object(0);
    sameId.ID = 800;
    EXPECT_EQ(paintedColor(map.model().object(2), painter), QColor(Qt::gray));
    EXPECT_EQ(paintedColor(sameId, painter), QColor(Qt::gray));
    EXPECT_EQ(countQueries(), 0);
}

TEST_F(SelectedBuilding, AFrameCountsOncePerPaintedCopyAndShowsTheColour)
{
    InstallPaintHooks(map, dm.qTemp);
    int copiesOfCurrent = 0;
    const PaintObjectHook installed = map.OnPaintObject;
    map.OnPaintObject = [&](const TPMXMapObjectMem& object, QPen& pen, QBrush& brush) {
        if (object.ID == 700)
            ++copiesOfCurrent;
        installed(object, pen, brush);
    };
    map.EditObject(map.FindObjectID(700));
    const QImage withFirms = map.picture();
    EXPECT_GE(copiesOfCurrent, 1);
    EXPECT_EQ(countQueries(), copiesOfCurrent);
    const QPointF centre = map.view().mapToPixel(100, 100);
    EXPECT_EQ(QColor(withFirms.pixel(centre.toPoint())), QColor(0, 128, 0));

    map.EditObject(map.FindObjectID(701));
    const QImage empty = map.picture();
    const QPointF other = map.view().mapToPixel(140, 100);
    EXPECT_EQ(QColor(empty.pixel(other.toPoint())), QColor(255, 0, 0));
    EXPECT_NE(QColor(empty.pixel(centre.toPoint())), QColor(0, 128, 0)) << "no longer selected";
}

TEST_F(SelectedBuilding, AFailingCountKeepsTheMapColourAndIsReportedOnce)
{
    QStringList reported;
    TSelectedBuildingPainter painter(map, dm.qTemp, [&](const QString& text) { reported << text; });
    map.EditObject(map.FindObjectID(700));
    dm.Con.Close();
    EXPECT_EQ(paintedColor(map.model().object(0), painter), QColor(Qt::gray));
    TSelectedBuildingPainter copy = painter;
    EXPECT_EQ(paintedColor(map.model().object(0), copy), QColor(Qt::gray));
    EXPECT_EQ(reported.size(), 1);
    EXPECT_FALSE(reported.value(0).isEmpty());
    EXPECT_FALSE(dm.qTemp.Active());
}

// A large frame is drawn by several threads, each calling the same painter.
TEST_F(SelectedBuilding, DrawingThreadsCountOneAtATimeAndFailuresAreReportedOnTheApplicationThread)
{
    QStringList reported;
    std::thread::id reportedOn;
    TSelectedBuildingPainter painter(map, dm.qTemp, [&](const QString& text) {
        reported << text;
        reportedOn = std::this_thread::get_id();
    });
    map.EditObject(map.FindObjectID(700));
    const auto paintFromTwoThreads = [&] {
        std::vector<QColor> colours(2);
        std::thread other([&] {
            for (int i = 0; i < 40; ++i)
                colours[0] = paintedColor(map.model().object(0), painter);
        });
        for (int i = 0; i < 40; ++i)
            colours[1] = paintedColor(map.model().object(0), painter);
        other.join();
        return colours;
    };
    EXPECT_EQ(paintFromTwoThreads(), std::vector<QColor>(2, QColor(0, 128, 0)));
    EXPECT_EQ(countQueries(), 80);

    dm.Con.Close();
    std::thread([&] { paintedColor(map.model().object(0), painter); }).join();
    EXPECT_TRUE(reported.isEmpty()) << "not from the drawing thread";
    QCoreApplication::processEvents();
    EXPECT_EQ(reported.size(), 1);
    EXPECT_EQ(reportedOn, std::this_thread::get_id());
}

TEST(PaintPolyLine, RailwaysGetStyleOne)
{
    TPMXMapObjectMem object;
    tPmxLine line;
    object.ObjType = otRailway;
    DataMapPaintPolyLine(object, line);
    EXPECT_EQ(line.Style, 1);
    for (const std::int32_t type : {otRoad, otDistrict, otBuilding}) {
        object.ObjType = type;
        tPmxLine other;
        other.Style = 3;
        DataMapPaintPolyLine(object, other);
        EXPECT_EQ(other.Style, 3) << "type " << type;
    }
}
