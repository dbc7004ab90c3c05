// Writes a small valid map file and icon library into a folder, as the
// fuzzer's first inputs: mutations of sound files reach deeper than noise.
#include "IconLibrary.h"
#include "MapFormat.h"

#include <QFile>

#include <cstdio>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

MapModel smallMap()
{
    MapModel model;
    TPMXMapObjectMem building;
    building.ObjType = otBuilding;
    building.Geometry = {{0, 0}, {20, 0}, {20, 15}, {0, 15}};
    building.X = 10;
    building.Y = 7;
    building.Street = "улица Мира";
    building.House = "12к1";
    building.HasAddress = true;
    building.Floors = 9;
    model.append(building);
    TPMXMapObjectMem road;
    road.ObjType = otRoad;
    road.Street = "улица Мира";
    road.Geometry = {{-50, -10}, {50, -10}, {80, 30}};
    model.append(road);
    TPMXMapObjectMem label;
    label.ObjType = otLabel;
    label.X = 10;
    label.Y = 7;
    label.Zametka = TPMXMapZametka{10, 7, "ICONS.LIB", "OK.BMP"};
    model.append(label);
    return model;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_seeds FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    IconLibrary icons;
    QImage icon(8, 8, QImage::Format_ARGB32);
    icon.fill(Qt::green);
    icons.addIcon("ICONS.LIB", "OK.BMP", icon);
    const bool written = writeFile(folder + "/map.vmap", writeMapFile(smallMap())) &&
                         writeFile(folder + "/icons.vicn", icons.save("ICONS.LIB"));
    return written ? 0 : 1;
}
