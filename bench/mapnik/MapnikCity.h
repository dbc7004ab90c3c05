// The same city drawn by Mapnik, for comparing frame times: the map's
// layers go to GeoJSON files (Mapnik's GeoJSON input keeps them in memory
// behind its own spatial index) and are styled like our map.
#pragma once

#include "MapModel.h"
#include "Viewport.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

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

// Frame times in milliseconds of our renderer and Mapnik's on one scene.
struct FrameTimesInTurns {
    std::vector<double> ours;
    std::vector<double> mapnik;
};

// Draws `runs` runs of `framesPerRun` frames of each renderer in turn:
// drawOurs draws one frame and says how long it took. Each renderer draws
// frame after frame of its own, as in use; one frame of each in turn would
// have each start on caches the other has just filled with its own data.
// The runs alternate, so that both see the machine as it is at the time.
FrameTimesInTurns TimeInTurns(int runs, int framesPerRun, const std::function<double()>& drawOurs,
                              MapnikCity& mapnik, const Viewport& view);
