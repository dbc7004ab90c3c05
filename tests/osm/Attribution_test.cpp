// A map made from OpenStreetMap says so in the corner of every picture of
// it; a map of our own says nothing there.
#include "MapEngine.h"
#include "MapFormat.h"
#include "OsmImport.h"

#include <gtest/gtest.h>

namespace {

QByteArray oneBuildingMap(const QString& attribution)
{
    TPMXMapObjectMem building;
    building.ID = 1;
    building.ObjType = otBuilding;
    building.X = 150;
    building.Y = 150;
    building.Geometry = {{100, 100}, {200, 100}, {200, 200}, {100, 200}};
    MapModel model;
    model.append(building);
    return writeMapFile(model, attribution);
}

// Pixels of text colour (dark on the light map) in the bottom right corner.
int darkPixelsInCorner(const QImage& picture)
{
    int dark = 0;
    for (int y = picture.height() - 14; y < picture.height(); ++y)
        for (int x = picture.width() - 160; x < picture.width(); ++x) {
            const QColor colour = picture.pixelColor(x, y);
            dark += colour.red() < 110 && colour.green() < 110 && colour.blue() < 110;
        }
    return dark;
}

QImage pictureOf(const QByteArray& blob)
{
    MapEngine engine;
    engine.setViewSize(QSize(400, 300));
    EXPECT_TRUE(engine.LoadFromData(blob));
    engine.showAll();
    return engine.picture();
}

} // namespace

TEST(Attribution, TravelsInTheMapFileAndIsDrawnInTheCorner)
{
    QString read = QStringLiteral("not read");
    ASSERT_TRUE(readMapFile(oneBuildingMap(kOsmAttribution), &read));
    EXPECT_EQ(read, "© участники OpenStreetMap");
    ASSERT_TRUE(readMapFile(oneBuildingMap(QString()), &read));
    EXPECT_TRUE(read.isEmpty());

    EXPECT_GT(darkPixelsInCorner(pictureOf(oneBuildingMap(kOsmAttribution))), 30);
    EXPECT_EQ(darkPixelsInCorner(pictureOf(oneBuildingMap(QString()))), 0);
}
