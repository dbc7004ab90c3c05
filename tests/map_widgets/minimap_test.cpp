// The mini-map window: its look, its place over the main window, the overview
// it holds, and btMiniMap kept down exactly while the window is visible.
#include "MapNavigator.h"
#include "TDataMap.h"
#include "TSmallPreView.h"
#include "TfrmMiniMap.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

MapModel lake()
{
    TPMXMapObjectMem water;
    water.ID = 1;
    water.ObjType = otWater;
    water.Geometry = {{0, 0}, {2000, 0}, {2000, 1500}, {0, 1500}};
    MapModel model;
    model.append(water);
    return model;
}

class MiniMap : public ::testing::Test {
protected:
    void SetUp() override
    {
        mainWindow.setGeometry(100, 100, 800, 600);
        map = new TDataMap(&mainWindow);
        map->setGeometry(0, 0, 600, 500);
        map->setModel(lake());
        TMapNavigatorControls controls;
        controls.DataMap = map;
        controls.btMiniMap = &btMiniMap;
        navigator = std::make_unique<TMapNavigator>(controls, TMapNavigatorGlobals{}, TMapNavigatorCallbacks{});
        mainWindow.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&mainWindow));
        miniMap = std::make_unique<TfrmMiniMap>();
        navigator->SetMiniMap(miniMap.get());
    }

    QWidget mainWindow;
    TDataMap* map = nullptr;
    QPushButton btMiniMap{"Миникарта"};
    std::unique_ptr<TMapNavigator> navigator;
    std::unique_ptr<TfrmMiniMap> miniMap;
};

} // namespace

TEST(TfrmMiniMap, IsASmallToolWindowOnTopFilledByTheOverview)
{
    TfrmMiniMap window;
    EXPECT_EQ(window.windowTitle(), "Миникарта");
    EXPECT_EQ(window.size(), QSize(230, 170));
    EXPECT_EQ(window.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.SmallPreView->geometry(), window.rect());
    EXPECT_FALSE(window.isVisible() && window.isModal());
}

TEST_F(MiniMap, TheButtonIsDownExactlyWhileTheWindowIsVisible)
{
    EXPECT_TRUE(btMiniMap.isCheckable());
    EXPECT_FALSE(btMiniMap.isChecked());
    EXPECT_FALSE(miniMap->isVisible()) << "created hidden";

    QTest::mouseClick(&btMiniMap, Qt::LeftButton);
    EXPECT_TRUE(miniMap->isVisible());
    EXPECT_TRUE(btMiniMap.isChecked());

    QTest::mouseClick(&btMiniMap, Qt::LeftButton);
    EXPECT_FALSE(miniMap->isVisible());
    EXPECT_FALSE(btMiniMap.isChecked());

    QTest::mouseClick(&btMiniMap, Qt::LeftButton);
    ASSERT_TRUE(miniMap->isVisible());
    miniMap->close(); // the window's own close box
    EXPECT_FALSE(btMiniMap.isChecked());

    miniMap->show(); // shown by anything else
    EXPECT_TRUE(btMiniMap.isChecked());
    QTest::keyClick(miniMap.get(), Qt::Key_Escape);
    EXPECT_FALSE(miniMap->isVisible());
    EXPECT_FALSE(btMiniMap.isChecked());
}

TEST_F(MiniMap, TheButtonStaysUpWithoutAWindow)
{
    miniMap.reset();
    EXPECT_FALSE(btMiniMap.isChecked());
    QTest::mouseClick(&btMiniMap, Qt::LeftButton);
    EXPECT_FALSE(btMiniMap.isChecked());
}

TEST_F(MiniMap, TheButtonComesUpWhenTheShownWindowIsDestroyed)
{
    QTest::mouseClick(&btMiniMap, Qt::LeftButton);
    ASSERT_TRUE(btMiniMap.isChecked());
    miniMap.reset();
    EXPECT_FALSE(btMiniMap.isChecked());
    QTest::mouseClick(&btMiniMap, Qt::LeftButton);
    EXPECT_FALSE(btMiniMap.isChecked()) << "no window left to show";
}

TEST_F(MiniMap, OpensCentredOnTheMainWindowWithTheMapsOverview)
{
    EXPECT_EQ(map->SmallView(), miniMap->SmallPreView);
    EXPECT_EQ(miniMap->SmallPreView->map(), map);
    map->ViewXY(1000, 750, 5000);
    QTest::mouseClick(&btMiniMap, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(miniMap.get()));
    const QPoint offset = miniMap->geometry().center() - mainWindow.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);

    const QImage shot = miniMap->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(2, 2)), QColor(Qt::white)) << "white around the map";
    EXPECT_NE(QColor(shot.pixel(115, 85)), QColor(Qt::white)) << "the lake in the middle";
}
