// The overview control: it follows the map it belongs to, marks the main
// view, recentres the main map when clicked or dragged, and survives either
// control going first.
#include "TDataMap.h"
#include "TSmallPreView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <memory>

namespace {

TPMXMapObjectMem area(std::int32_t id, std::int32_t type, QRectF box)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = type;
    object.X = static_cast<float>(box.center().x());
    object.Y = static_cast<float>(box.center().y());
    object.Geometry = {{static_cast<float>(box.left()), static_cast<float>(box.top())},
                       {static_cast<float>(box.right()), static_cast<float>(box.top())},
                       {static_cast<float>(box.right()), static_cast<float>(box.bottom())},
                       {static_cast<float>(box.left()), static_cast<float>(box.bottom())}};
    return object;
}

// A 4 km x 3 km town: one district with a lake in its north-east.
MapModel town()
{
    MapModel model;
    model.append(area(1, otDistrict, QRectF(0, 0, 4000, 3000)));
    model.append(area(2, otWater, QRectF(3000, 2000, 800, 800)));
    return model;
}

struct MapWithOverview {
    std::unique_ptr<TDataMap> map = std::make_unique<TDataMap>();
    std::unique_ptr<TSmallPreView> preview = std::make_unique<TSmallPreView>();

    MapWithOverview()
    {
        map->setModel(town());
        map->resize(400, 300);
        map->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(map.get()));
        preview->resize(230, 170);
        map->SetSmallView(preview.get());
        map->ViewXY(1000, 1000, 5000);
    }
};

} // namespace

TEST(TSmallPreView, FitsTheWholeMapAndMarksTheMainView)
{
    MapWithOverview both;
    ASSERT_EQ(both.map->SmallView(), both.preview.get());
    ASSERT_EQ(both.preview->map(), both.map.get());
    const Viewport overview = both.preview->overviewView();
    const QRectF town = QRectF(overview.mapToPixel(0, 3000), overview.mapToPixel(4000, 0));
    EXPECT_TRUE(QRectF(0, 0, 230, 170).contains(town));
    EXPECT_GT(town.width(), 200) << "the map fills the control";

    const QRectF mark = both.preview->mainViewRect();
    const QPointF centre = overview.mapToPixel(1000, 1000);
    EXPECT_NEAR(mark.center().x(), centre.x(), 1e-6);
    EXPECT_NEAR(mark.center().y(), centre.y(), 1e-6);
    const double viewWidthMetres = 400 / both.map->view().pixelsPerMetre();
    EXPECT_NEAR(mark.width(), viewWidthMetres * overview.pixelsPerMetre(), 1e-6);

    both.map->ViewXY(3400, 2400, 2000);
    EXPECT_NEAR(both.preview->mainViewRect().center().x(), overview.mapToPixel(3400, 2400).x(), 1e-6);
}

TEST(TSmallPreView, ShowsTheMapOnWhiteWithTheMark)
{
    MapWithOverview both;
    both.preview->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(both.preview.get()));
    const QImage image = both.preview->grab().toImage();
    const Viewport overview = both.preview->overviewView();
    EXPECT_EQ(image.pixelColor(1, 1), QColor(Qt::white)) << "the white frame around the map";
    const QColor lake = image.pixelColor(overview.mapToPixel(3400, 2400).toPoint());
    EXPECT_GT(lake.blue(), lake.red()) << "the lake is drawn";
    const QPointF mark = both.preview->mainViewRect().center();
    EXPECT_GT(image.pixelColor(mark.toPoint()).red(), image.pixelColor(mark.toPoint()).blue()) << "the red mark";
}

TEST(TSmallPreView, ClickAndDragRecentreTheMainMapKeepingItsScale)
{
    MapWithOverview both;
    const Viewport overview = both.preview->overviewView();
    int scaleChanges = 0;
    both.map->OnChangeScale = [&] { ++scaleChanges; };
    const QPoint click = overview.mapToPixel(3000, 1000).toPoint();
    QTest::mouseClick(both.preview.get(), Qt::LeftButton, Qt::NoModifier, click);
    const QPointF target = overview.pixelToMap(click);
    EXPECT_NEAR(both.map->view().centre().x(), target.x(), 1e-3);
    EXPECT_NEAR(both.map->view().centre().y(), target.y(), 1e-3);
    EXPECT_DOUBLE_EQ(both.map->GetScale(), 5000);

    const QPoint dragged = overview.mapToPixel(500, 2500).toPoint();
    QMouseEvent move(QEvent::MouseMove, QPointF(dragged), both.preview->mapToGlobal(QPointF(dragged)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(both.preview.get(), &move);
    EXPECT_NEAR(both.map->view().centre().x(), overview.pixelToMap(dragged).x(), 1e-3);
    EXPECT_DOUBLE_EQ(both.map->GetScale(), 5000);
}

TEST(TSmallPreView, EitherControlMayGoFirst)
{
    MapWithOverview previewFirst;
    previewFirst.preview.reset();
    EXPECT_EQ(previewFirst.map->SmallView(), nullptr);
    previewFirst.map->ViewXY(10, 10, 3000); // must not reach the deleted preview

    MapWithOverview mapFirst;
    mapFirst.map.reset();
    EXPECT_EQ(mapFirst.preview->map(), nullptr);
    EXPECT_TRUE(mapFirst.preview->mainViewRect().isNull());
    QTest::mouseClick(mapFirst.preview.get(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
}

TEST(TSmallPreView, SwitchingPreviewsReleasesTheOldOne)
{
    MapWithOverview both;
    TSmallPreView other;
    both.map->SetSmallView(&other);
    EXPECT_EQ(both.preview->map(), nullptr);
    EXPECT_EQ(other.map(), both.map.get());
    both.map->SetSmallView(nullptr);
    EXPECT_EQ(other.map(), nullptr);
}
