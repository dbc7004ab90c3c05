// The instruments of the map engine: what a mouse press, move, release, double
// click, wheel turn or Escape does with the pointer, drag, measure and scale
// instruments.
#include "MapEngine.h"

#include "HitTest.h"

#include <cmath>

namespace {
// A dragged zoom box smaller than this, in pixels, counts as a click.
constexpr double kSmallestZoomBox = 5;

int rounded(double value) { return static_cast<int>(std::lround(value)); }

bool isKnownInstrument(int instrument)
{
    return instrument == inMeasure || instrument == inPointer || instrument == inScale || instrument == inDrag;
}
} // namespace

void MapEngine::SetInstrument(int instrument)
{
    if (!isKnownInstrument(instrument) || instrument == instrument_)
        return;
    instrument_ = instrument;
    measurement_.clear();
    dragFrom_.reset();
    zoomBoxFrom_.reset();
    zoomBox_.reset();
    changed();
}

int MapEngine::objectAt(QPointF pixel) const { return hitTest(model_, view_, filters_, pixel); }

void MapEngine::mouseDown(QPointF pixel, Qt::MouseButton button)
{
    mousePixel_ = pixel;
    if (OnMouseDown)
        OnMouseDown(button, rounded(pixel.x()), rounded(pixel.y()));
    const bool left = button == Qt::LeftButton;
    switch (instrument_) {
    case inPointer:
        if (left)
            locateAt(pixel);
        break;
    case inDrag:
        if (left)
            dragFrom_ = pixel;
        break;
    case inMeasure:
        if (left)
            measureAt(pixel);
        break;
    case inScale:
        if (left)
            zoomBoxFrom_ = pixel;
        else if (button == Qt::RightButton)
            zoomAbout(GetScale() / lensFactor(), pixel);
        break;
    default:
        break;
    }
}

void MapEngine::mouseMove(QPointF pixel, Qt::MouseButtons buttons)
{
    const QPointF previous = mousePixel_;
    mousePixel_ = pixel;
    const bool leftHeld = buttons.testFlag(Qt::LeftButton);
    if (instrument_ == inDrag && dragFrom_ && leftHeld) {
        const double ppm = view_.pixelsPerMetre();
        view_.SetXWind(view_.GetXWind() - (pixel.x() - dragFrom_->x()) / ppm);
        view_.SetYWind(view_.GetYWind() + (pixel.y() - dragFrom_->y()) / ppm);
        dragFrom_ = pixel;
        changed();
    } else if (instrument_ == inScale && zoomBoxFrom_ && leftHeld) {
        zoomBox_ = QRectF(*zoomBoxFrom_, pixel).normalized();
        changed();
    } else if (instrument_ == inMeasure && measurement_.active() && pixel != previous) {
        changed();
    }
    if (OnMouseMove)
        OnMouseMove(rounded(pixel.x()), rounded(pixel.y()));
}

void MapEngine::mouseUp(QPointF pixel, Qt::MouseButton button)
{
    mousePixel_ = pixel;
    if (button != Qt::LeftButton)
        return;
    if (instrument_ == inDrag && dragFrom_) {
        dragFrom_.reset();
        changed(); // the motion has stopped: time for a fine frame
    } else if (instrument_ == inScale && zoomBoxFrom_) {
        const std::optional<QRectF> box = zoomBox_;
        zoomBoxFrom_.reset();
        zoomBox_.reset();
        if (box && box->width() >= kSmallestZoomBox && box->height() >= kSmallestZoomBox)
            zoomToBox(*box);
        else
            zoomAbout(GetScale() * lensFactor(), pixel);
    }
}

void MapEngine::mouseDoubleClick(QPointF pixel, Qt::MouseButton button)
{
    // The first click of a double click has already done its work; for the
    // measure instrument the second ends the line, for the others it counts
    // as one more click.
    if (instrument_ == inMeasure && button == Qt::LeftButton) {
        mousePixel_ = pixel;
        measurement_.finish();
        changed();
        return;
    }
    mouseDown(pixel, button);
}

void MapEngine::mouseWheel(QPointF pixel, bool up)
{
    mousePixel_ = pixel;
    const auto& handler = up ? OnMouseWheelUp : OnMouseWheelDown;
    if (handler) {
        handler(rounded(pixel.x()), rounded(pixel.y()));
        return;
    }
    zoomAbout(up ? GetScale() * lensFactor() : GetScale() / lensFactor(), pixel);
}

void MapEngine::mouseEnter()
{
    if (OnMouseEnter)
        OnMouseEnter();
}

bool MapEngine::escapePressed()
{
    if (measurement_.active()) {
        measurement_.finish();
        changed();
        return true;
    }
    if (zoomBoxFrom_) {
        zoomBoxFrom_.reset();
        zoomBox_.reset();
        changed();
        return true;
    }
    return false;
}

void MapEngine::locateAt(QPointF pixel)
{
    const int index = objectAt(pixel);
    if (index < 0 || !EditObject(index))
        return;
    if (OnAfterLocate)
        OnAfterLocate();
}

void MapEngine::measureAt(QPointF pixel)
{
    const QPointF at = view_.pixelToMap(pixel);
    const Measurement::Step step = measurement_.add({static_cast<float>(at.x()), static_cast<float>(at.y())});
    changed();
    if (OnMeasure)
        OnMeasure(step.distance, step.segment);
}

void MapEngine::zoomToBox(const QRectF& pixels)
{
    const QSize size = view_.size();
    const double factor = std::min(size.width() / pixels.width(), size.height() / pixels.height());
    const QPointF centre = view_.pixelToMap(pixels.center());
    ViewXY(centre.x(), centre.y(), GetScale() * factor);
}
