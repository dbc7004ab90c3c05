// The map engine's object list, loading, view and redraw operations, as the
// application uses them.
#include "MapEngine.h"

#include "MapFormat.h"
#include "SyntheticCity.h"

#include <QBuffer>
#include <QPainter>
#include <QSet>

#include <gtest/gtest.h>

namespace {

MapEngine engineWithCity()
{
    MapEngine engine;
    engine.setViewSize({1000, 800});
    engine.setModel(syntheticCity({200, 30, 30, 5}));
    return engine;
}

int labelCount(const MapEngine& engine)
{
    int count = 0;
    for (int i = 0; i < engine.GetCount(); ++i)
        if (!engine.model().isDeleted(i) && engine.model().object(i).ObjType == otLabel)
            ++count;
    return count;
}

} // namespace

TEST(MapEngine, LabelsAreAddedAndDeletedWithoutMovingOtherObjects)
{
    MapEngine engine = engineWithCity();
    const int before = engine.GetCount();
    const int buildingIndex = 10;
    const TPMXMapObjectMem building = engine.model().object(buildingIndex);

    engine.AppendObject();
    engine.CurrentObject().ObjType = otLabel;
    engine.CurrentObject().X = building.X;
    engine.CurrentObject().Y = building.Y;
    engine.CurrentObject().DisplayParam = 20;
    engine.CurrentObject().StyleCode = 7;
    engine.DetailPutZametka({building.X, building.Y, "ICONS.LIB", "OK.BMP"});
    ASSERT_TRUE(engine.PostObject());

    const std::int32_t labelId = engine.CurrentObject().ID;
    EXPECT_GT(labelId, 0);
    EXPECT_EQ(engine.GetCount(), before + 1);
    const int labelIndex = engine.FindObjectID(labelId, 0);
    EXPECT_EQ(labelIndex, engine.CurrentIndex());
    EXPECT_EQ(engine.model().object(labelIndex).Zametka->IconName, "OK.BMP");
    EXPECT_EQ(labelCount(engine), 1);

    ASSERT_TRUE(engine.DeleteObject(labelIndex, false));
    EXPECT_EQ(engine.FindObjectID(labelId, 0), -1);
    EXPECT_EQ(engine.CurrentIndex(), -1);
    EXPECT_EQ(labelCount(engine), 0);
    EXPECT_FALSE(engine.DeleteObject(labelIndex, false));
    EXPECT_EQ(engine.FindObjectID(building.ID, 0), buildingIndex);
}

TEST(MapEngine, EditedFieldsReachTheMapOnlyWhenPosted)
{
    MapEngine engine = engineWithCity();
    ASSERT_TRUE(engine.EditObject(3));
    const std::int32_t id = engine.CurrentObject().ID;
    engine.CurrentObject().House = QString(300, '7');
    EXPECT_NE(engine.model().object(3).House, engine.CurrentObject().House);
    ASSERT_TRUE(engine.PostObject());
    EXPECT_EQ(engine.model().object(3).House, QString(255, '7')); // a house text holds 255 characters
    EXPECT_EQ(engine.model().object(3).ID, id);
    EXPECT_FALSE(engine.EditObject(-1));
    EXPECT_FALSE(engine.EditObject(engine.GetCount()));
    EXPECT_EQ(engine.CurrentIndex(), 3);
}

TEST(MapEngine, DamagedMapLeavesTheLoadedOneInPlace)
{
    MapEngine engine = engineWithCity();
    const int count = engine.GetCount();
    QByteArray blob = writeMapFile(syntheticCity({50, 10, 10, 9}));
    blob[blob.size() / 2] = char(blob[blob.size() / 2] ^ 0x5A);
    QBuffer stream(&blob);
    stream.open(QIODevice::ReadOnly);
    const Status loaded = engine.LoadFromStream(stream, false, 0);
    EXPECT_FALSE(loaded.ok());
    EXPECT_TRUE(loaded.error().startsWith("Файл карты повреждён")) << loaded.error().toStdString();
    EXPECT_EQ(engine.GetCount(), count);
}

TEST(MapEngine, WholeMapIsShownAfterLoadWhenAsked)
{
    MapEngine engine;
    engine.setViewSize({1000, 800});
    engine.SetMpAllMapAfterLoad(true);
    const MapModel city = syntheticCity({400, 40, 30, 2});
    const QRectF extent = city.extent();
    ASSERT_TRUE(engine.LoadFromData(writeMapFile(city)).ok());
    const QRectF visible = engine.view().visibleMapRect();
    EXPECT_TRUE(visible.contains(extent));
    // One side fits snugly, with a small margin.
    const double snug = std::min(visible.width() / extent.width(), visible.height() / extent.height());
    EXPECT_LT(snug, 1.1);
}

TEST(MapEngine, StreetListIsUniqueAndInRussianOrder)
{
    MapModel model;
    for (const char* street : {"Жуковского", "Ёлочная", "Абрикосовая", "Елецкая", "Жуковского", ""}) {
        TPMXMapObjectMem object;
        object.ObjType = otStop;
        object.Street = QString::fromUtf8(street);
        model.append(object);
    }
    MapEngine engine;
    engine.setModel(std::move(model));
    QStringList streets{"left over"};
    engine.GetStreetList(streets);
    EXPECT_EQ(streets, (QStringList{"Абрикосовая", "Елецкая", "Ёлочная", "Жуковского"}));
}

TEST(MapEngine, ZoomAboutTheCursorAsTheMainWindowDoesIt)
{
    MapEngine engine = engineWithCity();
    engine.ViewXY(300, 300, 1000);
    engine.mouseMove({700, 150}, Qt::NoButton);
    int scaleChanges = 0;
    engine.OnChangeScale = [&] { ++scaleChanges; };

    engine.DisablePaint();
    float px = 700;
    float py = 150;
    const double mx = engine.GetMouseX();
    const double my = engine.GetMouseY();
    engine.SetScale(engine.GetScale() + 500);
    engine.TransKoordToMap(px, py);
    engine.SetXWind(engine.GetXWind() + (mx - px));
    engine.SetYWind(engine.GetYWind() + (my - py));
    engine.EnablePaint();

    EXPECT_EQ(scaleChanges, 1);
    EXPECT_DOUBLE_EQ(engine.GetScale(), 1500);
    EXPECT_NEAR(engine.GetMouseX(), mx, 1e-3);
    EXPECT_NEAR(engine.GetMouseY(), my, 1e-3);
}

TEST(MapEngine, SetScaleKeepsTheCentreAndViewXYCentres)
{
    MapEngine engine = engineWithCity();
    engine.ViewXY(250, 400, 5000);
    EXPECT_NEAR(engine.view().centre().x(), 250, 1e-6);
    EXPECT_NEAR(engine.view().centre().y(), 400, 1e-6);
    engine.SetScale(2000);
    EXPECT_NEAR(engine.view().centre().x(), 250, 1e-6);
    EXPECT_NEAR(engine.view().centre().y(), 400, 1e-6);
    double x = 500;
    double y = 400;
    engine.TransKoordToMap(x, y); // the centre pixel
    EXPECT_NEAR(x, 250, 1e-6);
    EXPECT_NEAR(y, 400, 1e-6);
}

TEST(MapEngine, RedrawRequestsFollowPaintSwitchesAndForcedRedraws)
{
    MapEngine engine = engineWithCity();
    int requests = 0;
    engine.OnInvalidate = [&] { ++requests; };
    engine.DisablePaint();
    engine.SetScale(3000);
    engine.SetXWind(10);
    EXPECT_EQ(requests, 0);
    engine.EnablePaint();
    EXPECT_EQ(requests, 1);

    const std::uint64_t version = engine.contentVersion();
    engine.Risovan();
    EXPECT_EQ(engine.contentVersion(), version); // nothing changed, nothing forced
    engine.ForceRedraw = true;
    engine.Risovan();
    EXPECT_GT(engine.contentVersion(), version);
    EXPECT_EQ(requests, 3);

    QImage frame(engine.viewSize(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&frame);
    engine.paint(painter, frame.rect());
    EXPECT_FALSE(engine.ForceRedraw);
}

TEST(MapEngine, FiltersOptionsAndTagAreKept)
{
    MapEngine engine;
    engine.SetFilter(true);
    engine.SetFilterMassiv(otStop, false);
    engine.SetFilterKateg(otStop, false);
    engine.SetFilterMassiv(42, false); // no such type: ignored
    EXPECT_FALSE(engine.scene().filters.shows(otStop));
    EXPECT_TRUE(engine.scene().filters.shows(otBuilding));
    engine.SetMpNumberDom(false);
    EXPECT_FALSE(engine.mpNumberDom());
    engine.SetmpNumberDomSizeFont(0);
    EXPECT_EQ(engine.options().NumberDomSizeFont, 1);
    engine.SetView3D(true);
    EXPECT_TRUE(engine.scene().options.View3D);
    engine.Tag = 7;
    EXPECT_EQ(engine.Tag, 7);
}

TEST(MapEngine, PictureIsTheViewDrawn)
{
    MapEngine engine = engineWithCity();
    engine.setViewSize({320, 200});
    engine.showAll();
    const QImage picture = engine.picture();
    EXPECT_EQ(picture.size(), QSize(320, 200));
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 4)
        for (int x = 0; x < picture.width(); x += 4)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 3); // a city, not an empty sheet
}
