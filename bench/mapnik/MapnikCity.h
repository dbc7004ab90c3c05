// The same city drawn by Mapnik, for comparing frame times: the map's
// layers go to GeoJSON files (Mapnik's GeoJSON input keeps them in memory
// behind its own spatial index) and are styled like our map.
#pragma once

#include "MapModel.h"
#include "Viewport.h"

#include <QImage>
#include <QString>

#include <memory>

class MapnikCity {
public:
    // folder: where the layer files are written; it must exist.
    MapnikCity(const MapModel& model, const QString& folder, QSize size);
    ~MapnikCity();

    // Draws what the view shows; the view must have the size given above.
    void render(const Viewport& view);
    QImage lastFrame() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
