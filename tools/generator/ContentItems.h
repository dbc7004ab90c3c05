// The Content rows of an edition: icon library, map, price list, the
// registry names of the user's lists, the scale parameters, banners and
// banner intervals.
#pragma once

#include "City.h"
#include "DirectoryMedia.h"

#include <QByteArray>

#include <vector>

struct ContentItem {
    int typeId = 0;
    int refId = 0;
    QByteArray data;
};

// The scale parameters of a city: the whole city in a view of 1000 pixels
// at start, some room to zoom out, streets of a few houses at the closest.
struct ScaleParameters {
    int mapScale = 0;
    int minScale = 0;
    int maxScale = 0;
    int stepScale = 0;
    int lensStep = 0; // the row whose code is stepScale holds this
};
ScaleParameters ScaleParametersFor(const City& city);

// The registry key under which an edition keeps its users' lists.
QString EditionRegistryKey(int edition);

struct ContentSources {
    int edition = 1;
    const City& city;
    QByteArray iconLibrary;
    QByteArray map;
    std::vector<BannerItem> banners;
};

// Every row, in the order they are written (codes ascending, the lens row last).
std::vector<ContentItem> MakeContentItems(const ContentSources& sources);

// The price list of advertising in the directory, an HTML page.
QByteArray PriceListHtml(int edition);
