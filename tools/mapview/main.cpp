// varindel-mapview: shows a map file or a synthetic city in the map control.
//
//   varindel-mapview [map-file] [--icons icon-library-file] [--synthetic buildings]
//                    [--scale s] [--at x,y] [--3d] [--screenshot file.png]
//
// With --screenshot the window is drawn once, saved and closed.
#include "MapViewer.h"
#include "SyntheticCity.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDebug>
#include <QFile>
#include <QTimer>

#include <cstdio>

namespace {

bool loadMap(TDataMap& map, const QString& file, const QString& icons)
{
    QFile blob(file);
    if (!blob.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(blob.errorString()));
        return false;
    }
    const Status loaded = map.LoadFromStream(blob);
    if (!loaded.ok()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(loaded.error()));
        return false;
    }
    QFile library(icons);
    if (!icons.isEmpty() && library.open(QIODevice::ReadOnly))
        map.icons().AddLibFromStream(library);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addPositionalArgument("map", "map file");
    parser.addOptions({{"icons", "icon library file", "file"},
                       {"synthetic", "show a synthetic city of that many buildings", "buildings"},
                       {"scale", "scale to show", "scale"},
                       {"at", "map point to centre on", "x,y"},
                       {"3d", "buildings in 3D"},
                       {"numbers", "house numbers on"},
                       {"screenshot", "save the window to a PNG file and quit", "file"}});
    parser.process(application);

    MapViewer viewer;
    TDataMap& map = viewer.map();
    viewer.resize(1000, 720);
    viewer.show();
    map.SetMpNumberDom(parser.isSet("numbers"));
    if (!parser.positionalArguments().isEmpty()) {
        if (!loadMap(map, parser.positionalArguments().front(), parser.value("icons")))
            return 1;
    } else {
        const int buildings = parser.isSet("synthetic") ? parser.value("synthetic").toInt() : 3000;
        map.setModel(syntheticCity({buildings, std::max(40, buildings / 10), std::max(20, buildings / 100), 1}));
        map.icons() = syntheticIcons();
    }
    map.showAll();
    if (parser.isSet("at") || parser.isSet("scale")) {
        const QStringList at = parser.value("at").split(',');
        const QPointF centre = at.size() == 2 ? QPointF(at[0].toDouble(), at[1].toDouble()) : map.view().centre();
        map.ViewXY(centre.x(), centre.y(), parser.isSet("scale") ? parser.value("scale").toDouble() : map.GetScale());
    }
    if (map.GetScale() > 3000)
        map.SetmpNumberDomSizeFont(static_cast<int>(map.GetScale() / 500));
    map.SetView3D(parser.isSet("3d"));
    if (parser.isSet("screenshot")) {
        QTimer::singleShot(300, &viewer, [&] {
            if (viewer.grab().save(parser.value("screenshot"))) {
                QApplication::quit();
                return;
            }
            qCritical().noquote() << "Не удалось сохранить снимок в" << parser.value("screenshot");
            QApplication::exit(1);
        });
    }
    return QApplication::exec();
}
