// The navigator on a real map control with real buttons, label and menu:
// instruments, zoom buttons and menu items, the wheel, the status line,
// measuring, the keyboard, the map menu and the reaction to located objects.
#include "MapNavigator.h"
#include "TDataMap.h"
#include "Uidlist.h"

#include "SyntheticCity.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include <memory>

namespace {

// A small town: a district with two buildings, a far district, and the
// label of a category placed on building 11.
MapModel districtTown()
{
    MapModel model;
    model.append(squareObject(1, otDistrict, 500, 500, 1000));
    model.append(squareObject(10, otBuilding, 300, 300, 30));
    model.append(squareObject(11, otBuilding, 700, 650, 30));
    model.append(squareObject(2, otDistrict, 1600, 500, 400));
    model.append(labelObject(90, 300, 700));
    model.append(labelObject(91, 350, 700));
    return model;
}

class Navigator : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(500, 400);
        map = new TDataMap(&window);
        map->setGeometry(0, 0, 400, 300);
        map->setModel(districtTown());
        controls.DataMap = map;
        controls.btScale = &btScale;
        controls.btPick = &btPick;
        controls.btDragMap = &btDragMap;
        controls.btiMeasure = &btiMeasure;
        controls.btScaleInc = &btScaleInc;
        controls.btScaleDec = &btScaleDec;
        controls.lInfo = &lInfo;
        controls.pmMap = &pmMap;
        controls.NAddBookmark = pmMap.addAction("Добавить в закладки");
        controls.NDiaryAdd = pmMap.addAction("Добавить в дневник");
        controls.NIncScale = pmMap.addAction("Уменьшить");
        controls.NScaleDec = pmMap.addAction("Увеличить");
        labels.Add(90);
        labels.Values = {11};
        TMapNavigatorCallbacks callbacks;
        callbacks.ShowBuildingPage = [this] { ++buildingPages; };
        callbacks.DiaryPageActive = [this] { return diaryActive; };
        callbacks.LabelBuilding = [this](std::int32_t id) { return LabelBuildingID(labels, id); };
        callbacks.AddBookmark = [this] { ++bookmarks; };
        navigator = std::make_unique<TMapNavigator>(controls, TMapNavigatorGlobals{&MinScale, &MaxScale, &StepScale,
                                                                                   &IsFlying},
                                                    std::move(callbacks));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        map->ViewXY(500, 500, 5000);
    }

    void wheel(QPoint pixel, bool up)
    {
        QWheelEvent event(pixel, map->mapToGlobal(pixel), QPoint(), QPoint(0, up ? 120 : -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(map, &event);
    }

    QPoint pixelOf(double x, double y) const { return map->view().mapToPixel(x, y).toPoint(); }

    int MinScale = 1000;
    int MaxScale = 20000;
    int StepScale = 500;
    bool IsFlying = false;
    QWidget window;
    TDataMap* map = nullptr;
    QPushButton btScale, btPick, btDragMap, btiMeasure, btScaleInc, btScaleDec;
    QLabel lInfo{"_"};
    QMenu pmMap;
    TMapNavigatorControls controls;
    TIDList labels;
    int buildingPages = 0;
    int bookmarks = 0;
    bool diaryActive = false;
    std::unique_ptr<TMapNavigator> navigator;
};

} // namespace

TEST_F(Navigator, InstrumentButtonsFormOneExclusiveGroup)
{
    EXPECT_EQ(map->GetInstrument(), inPointer);
    EXPECT_TRUE(btPick.isChecked());
    EXPECT_FALSE(btScale.isChecked());

    const std::pair<QPushButton*, int> group[] = {
        {&btiMeasure, inMeasure}, {&btDragMap, inDrag}, {&btScale, inScale}, {&btPick, inPointer}};
    for (const auto& [button, instrument] : group) {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(map->GetInstrument(), instrument);
        for (const auto& [other, unused] : group)
            EXPECT_EQ(other->isChecked(), other == button) << other->objectName().toStdString();
    }
    QTest::mouseClick(&btPick, Qt::LeftButton);
    EXPECT_TRUE(btPick.isChecked()) << "a second click keeps the button down";
}

TEST_F(Navigator, InstrumentButtonsMayAlsoSitInTheWindowsOwnExclusiveGroup)
{
    QButtonGroup group;
    group.setExclusive(true);
    for (QPushButton* button : {&btScale, &btPick, &btDragMap, &btiMeasure})
        group.addButton(button);
    QTest::mouseClick(&btDragMap, Qt::LeftButton);
    EXPECT_EQ(map->GetInstrument(), inDrag);
    EXPECT_EQ(group.checkedButton(), &btDragMap);
    navigator->SelectInstrument(inMeasure);
    EXPECT_EQ(group.checkedButton(), &btiMeasure);
    EXPECT_FALSE(btDragMap.isChecked());
}

TEST_F(Navigator, ZoomButtonsAndMenuItemsStepWithinTheLimits)
{
    QTest::mouseClick(&btScaleInc, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(map->GetScale(), 4500) << "btScaleInc zooms out";
    QTest::mouseClick(&btScaleDec, Qt::LeftButton);
    QTest::mouseClick(&btScaleDec, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(map->GetScale(), 5500) << "btScaleDec zooms in";
    controls.NIncScale->trigger();
    EXPECT_DOUBLE_EQ(map->GetScale(), 5000);
    controls.NScaleDec->trigger();
    EXPECT_DOUBLE_EQ(map->GetScale(), 5500);

    map->SetScale(1300);
    controls.NIncScale->trigger();
    EXPECT_DOUBLE_EQ(map->GetScale(), 1000);
    controls.NIncScale->trigger();
    EXPECT_DOUBLE_EQ(map->GetScale(), 1000);
    map->SetScale(19800);
    QTest::mouseClick(&btScaleDec, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(map->GetScale(), 20000);
}

TEST_F(Navigator, EverySecondWheelEventZoomsAboutTheCursor)
{
    const QPoint cursor(320, 80);
    QTest::mouseMove(map, cursor);
    const double x = map->GetMouseX();
    const double y = map->GetMouseY();

    wheel(cursor, true);
    EXPECT_DOUBLE_EQ(map->GetScale(), 5000) << "the first event does nothing";
    EXPECT_EQ(map->Tag, 1);
    wheel(cursor, true);
    EXPECT_DOUBLE_EQ(map->GetScale(), 5500);
    EXPECT_NEAR(map->GetMouseX(), x, 1e-2);
    EXPECT_NEAR(map->GetMouseY(), y, 1e-2);
    EXPECT_EQ(lInfo.text(), ServisText(5500, map->GetMouseX(), map->GetMouseY()));

    wheel(cursor, false);
    EXPECT_DOUBLE_EQ(map->GetScale(), 5500);
    wheel(cursor, false);
    EXPECT_DOUBLE_EQ(map->GetScale(), 5000) << "both directions are counted together";
    EXPECT_NEAR(map->GetMouseX(), x, 1e-2);
    EXPECT_EQ(map->Tag, 4);
}

TEST_F(Navigator, AWheelZoomNearALimitSetsTheLimitAboutTheCentre)
{
    map->ViewXY(500, 500, 1200);
    map->Tag = 1;
    wheel(QPoint(20, 20), false);
    EXPECT_DOUBLE_EQ(map->GetScale(), 1000);
    EXPECT_NEAR(map->view().centre().x(), 500, 1e-2) << "the centre is kept, not the cursor point";
    EXPECT_NEAR(map->view().centre().y(), 500, 1e-2);
}

TEST_F(Navigator, StatusLineFollowsTheMouseExceptWhileMeasuring)
{
    QTest::mouseMove(map, QPoint(100, 120));
    EXPECT_EQ(lInfo.text(), ServisText(5000, map->GetMouseX(), map->GetMouseY()));
    EXPECT_TRUE(lInfo.text().startsWith("Масштаб: 5000 Курсор:[x= "));

    QTest::mouseClick(&btiMeasure, Qt::LeftButton);
    const double ppm = map->view().pixelsPerMetre();
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(100, 100));
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(100 + static_cast<int>(std::lround(100 * ppm)), 100));
    const double step = map->measurement().distance();
    EXPECT_NEAR(step, 100, 1);
    const QString measured = MeasureText(step, step);
    EXPECT_EQ(lInfo.text(), measured);
    QTest::mouseMove(map, QPoint(250, 250));
    EXPECT_EQ(lInfo.text(), measured) << "moving the mouse keeps the measurement";

    QTest::keyClick(map, Qt::Key_Escape);
    EXPECT_FALSE(map->measurement().active()) << "Escape ends the measurement";
}

TEST_F(Navigator, ChangingTheScaleUpdatesHouseNumbersAndLayersUnlessFlying)
{
    map->SetScale(3750);
    EXPECT_TRUE(map->mpNumberDom());
    EXPECT_EQ(map->options().NumberDomSizeFont, 8);
    EXPECT_TRUE(map->filters().massiv[otStop]);
    EXPECT_TRUE(lInfo.text().startsWith("Масштаб: 3750 "));

    IsFlying = true;
    map->SetScale(2000);
    EXPECT_TRUE(map->mpNumberDom()) << "house numbers wait for the end of a flight";
    EXPECT_FALSE(map->filters().massiv[otStop]) << "layers follow every change";
    IsFlying = false;
}

TEST_F(Navigator, KeyboardZoomsAndMovesTheView)
{
    map->setFocus();
    QTest::keyClick(map, Qt::Key_Plus);
    EXPECT_DOUBLE_EQ(map->GetScale(), 5500);
    QTest::keyClick(map, Qt::Key_Minus);
    QTest::keyClick(map, Qt::Key_Minus);
    EXPECT_DOUBLE_EQ(map->GetScale(), 4500);

    const QPointF centre = map->view().centre();
    const double ppm = map->view().pixelsPerMetre();
    QTest::keyClick(map, Qt::Key_Right);
    EXPECT_NEAR(map->view().centre().x(), centre.x() + 0.25 * map->width() / ppm, 1e-3);
    QTest::keyClick(map, Qt::Key_Up);
    EXPECT_NEAR(map->view().centre().y(), centre.y() + 0.25 * map->height() / ppm, 1e-3);
    QTest::keyClick(map, Qt::Key_Left);
    QTest::keyClick(map, Qt::Key_Down);
    EXPECT_NEAR(map->view().centre().x(), centre.x(), 1e-3);
    EXPECT_NEAR(map->view().centre().y(), centre.y(), 1e-3);
}

TEST_F(Navigator, MapMenuPopsUpOnlyForThePointerAndOffersBookmarksForBuildings)
{
    EXPECT_EQ(map->PopupMenu, &pmMap);
    QTest::mouseClick(&btDragMap, Qt::LeftButton);
    QTest::mousePress(map, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_FALSE(map->AutoPopup);
    QTest::mouseClick(&btPick, Qt::LeftButton);
    QTest::mousePress(map, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_TRUE(map->AutoPopup);

    map->EditObject(map->FindObjectID(10));
    emit pmMap.aboutToShow();
    EXPECT_TRUE(controls.NAddBookmark->isVisible());
    map->EditObject(map->FindObjectID(1));
    emit pmMap.aboutToShow();
    EXPECT_FALSE(controls.NAddBookmark->isVisible());

    controls.NAddBookmark->trigger();
    EXPECT_EQ(bookmarks, 1);
}

TEST_F(Navigator, ClickingABuildingShowsItsPageUnlessTheDiaryIsOpen)
{
    QTest::mouseClick(map, Qt::LeftButton, {}, pixelOf(300, 300));
    EXPECT_EQ(map->CurrentObject().ID, 10);
    EXPECT_EQ(buildingPages, 1);
    EXPECT_DOUBLE_EQ(map->GetScale(), 5000) << "a building click does not fly";

    diaryActive = true;
    QTest::mouseClick(map, Qt::LeftButton, {}, pixelOf(700, 650));
    EXPECT_EQ(map->CurrentObject().ID, 11);
    EXPECT_EQ(buildingPages, 1);
}

TEST_F(Navigator, ACategoryLabelFliesToItsBuildingAt2000)
{
    std::vector<bool> flyingSeen;
    QObject::connect(map, &TDataMap::viewChanged, [&] { flyingSeen.push_back(IsFlying); });
    map->EditObject(map->FindObjectID(90));
    navigator->DataMapAfterLocate();

    EXPECT_EQ(map->CurrentObject().ID, 11) << "the building becomes current";
    EXPECT_EQ(buildingPages, 1);
    EXPECT_DOUBLE_EQ(map->GetScale(), 2000);
    EXPECT_NEAR(map->view().centre().x(), 700, 1e-2);
    EXPECT_NEAR(map->view().centre().y(), 650, 1e-2);
    EXPECT_FALSE(IsFlying);
    EXPECT_NE(std::find(flyingSeen.begin(), flyingSeen.end(), true), flyingSeen.end());
    EXPECT_FALSE(map->mpNumberDom()) << "house numbers set for the end scale";
}

TEST_F(Navigator, AnUnknownLabelIsIgnored)
{
    map->EditObject(map->FindObjectID(91));
    navigator->DataMapAfterLocate();
    EXPECT_EQ(map->CurrentObject().ID, 91);
    EXPECT_EQ(buildingPages, 0);
    EXPECT_DOUBLE_EQ(map->GetScale(), 5000);
}

TEST_F(Navigator, ClickingADistrictFliesToItAt1000)
{
    map->ViewXY(1600, 500, 5000);
    QTest::mouseClick(map, Qt::LeftButton, {}, pixelOf(1650, 450));
    EXPECT_EQ(map->CurrentObject().ID, 2);
    EXPECT_EQ(buildingPages, 0);
    EXPECT_DOUBLE_EQ(map->GetScale(), 1000);
    EXPECT_NEAR(map->view().centre().x(), 1600, 1e-2);
    EXPECT_FALSE(IsFlying);
}
