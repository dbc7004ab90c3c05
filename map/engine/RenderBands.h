// The ground of a large frame (land, areas, roads, buildings) drawn in
// horizontal bands by several threads at once. Most of such a frame's time
// goes into filling pixels, and the pixels of one band share nothing with
// those of another. Labels, which must see each other to keep apart, are
// placed and drawn by the calling thread alone: over its own band as soon
// as the band's ground is drawn, over the others once theirs are.
#pragma once

#include "BandBalance.h"
#include "RenderFrame.h"

#include <QPainter>
#include <QRect>

#include <functional>
#include <vector>

// How many threads draw a frame into painter's target: one when the
// painter's device is not a plain 32-bit image drawn unscaled and
// unclipped, or when the frame is too small to be worth a second thread.
// Asked before the frame sets its own clip.
int bandThreadsFor(const QPainter& painter, const QRect& target);

// What a frame drawn in bands asks of its threads.
struct BandWork {
    // Drawn in every band.
    std::function<void(RenderFrame& band)> ground;
    // Run by the calling thread first, while the other threads start on
    // their bands: work of the frame that needs no pixels.
    std::function<void()> alongside;
    // Drawn by the calling thread over its own band once its ground is
    // drawn, while the other threads may still draw theirs; may be empty.
    std::function<void(RenderFrame& band)> overOwnBand;
};

// Draws work's ground once per band of the whole frame, a band per thread,
// each with a frame of its own over the band: its own painter on the
// band's rows of the image, and the visible objects that may reach into
// it, listed in the room bandLists keeps for each band from frame to
// frame: a frame of a whole city lists hundreds of thousands of objects
// per band, and memory fresh from the system costs a fault per page of it.
// balance cuts the bands for the threads to end together, and learns from
// this frame for the next. Returns, when every band is drawn, the calling
// thread's band (painter coordinates): the last, at the bottom.
QRect drawInBands(const RenderFrame& whole, int threads, const BandWork& work, std::vector<VisibleByType>& bandLists,
                  BandBalance& balance);
