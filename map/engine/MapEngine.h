// The map control without a window: the object list, the view, filters and
// options, the instruments as a state machine fed with mouse calls, the
// fly-to animation, and the events the application handles. A widget turns
// its Qt events into the mouse calls below and paints with paint().
#pragma once

#include "FlyPath.h"
#include "IconLibrary.h"
#include "MapModel.h"
#include "MapRenderer.h"
#include "Measurement.h"
#include "Viewport.h"

#include "Result.h"

#include <QImage>
#include <QIODevice>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

// Instrument ordinals of the control.
enum TInstrument : int {
    inMeasure = 1,
    inPointer = 2,
    inScale = 13,
    inDrag = 16,
};

class MapEngine {
public:
    MapEngine();

    // --- Loading ---------------------------------------------------------
    // Replaces the map with the one in the stream. A damaged or foreign blob
    // leaves the current map as it was and gives the reason. The two trailing
    // values exist for the callers' convenience and change nothing.
    Status LoadFromStream(QIODevice& stream, bool ask = false, int mode = 0);
    Status LoadFromData(const QByteArray& blob);
    // Takes a map built in memory (tests, generators).
    void setModel(MapModel model);
    IconLibrary& icons() { return icons_; }
    const IconLibrary& icons() const { return icons_; }
    const MapModel& model() const { return model_; }

    // --- Object list -----------------------------------------------------
    int GetCount() const { return model_.GetCount(); }
    // Only mode 0 (by ID) exists; the index of the object, or -1.
    int FindObjectID(std::int32_t id, int mode = 0) const;
    // Makes the object at index current; false for an empty or bad index.
    bool EditObject(int index);
    // The current object's copy; field writes go here and reach the map
    // with PostObject.
    TPMXMapObjectMem& CurrentObject() { return current_; }
    const TPMXMapObjectMem& CurrentObject() const { return current_; }
    int CurrentIndex() const { return currentIndex_; }
    // Starts a new, empty current object that PostObject appends.
    void AppendObject();
    void DetailPutZametka(const TPMXMapZametka& detail);
    // Stores the current object: appends a new one (its fresh ID then shows
    // in CurrentObject) or writes back an edited one. False with nothing to post.
    bool PostObject();
    // Empties a position; the engine never asks for confirmation, whatever
    // the second value says.
    bool DeleteObject(int index, bool confirm = false);
    // Unique street names, sorted the Russian way.
    void GetStreetList(QStringList& list) const;

    // --- View --------------------------------------------------------------
    void setViewSize(QSize size);
    QSize viewSize() const { return view_.size(); }
    const Viewport& view() const { return view_; }
    // The nominal scale of the source map (1:value); kept for the callers,
    // the drawing does not depend on it.
    void SetMashtab(double value) { mashtab_ = value; }
    double GetMashtab() const { return mashtab_; }
    double GetScale() const { return view_.GetScale(); }
    // Changes the scale keeping the centre of the view; raises OnChangeScale.
    void SetScale(double scale);
    // Changes the scale keeping the map point under a pixel; raises OnChangeScale.
    void zoomAbout(double scale, QPointF pixel);
    double GetXWind() const { return view_.GetXWind(); }
    double GetYWind() const { return view_.GetYWind(); }
    void SetXWind(double x);
    void SetYWind(double y);
    // Turns pixel coordinates into map coordinates, in place.
    void TransKoordToMap(double& x, double& y) const;
    void TransKoordToMap(float& x, float& y) const;
    // The map point under the last cursor position.
    double GetMouseX() const;
    double GetMouseY() const;
    QPointF lastMousePixel() const { return mousePixel_; }
    // Centres the view on a map point at a scale.
    void ViewXY(double x, double y, double scale);
    // Shows the whole map.
    void showAll();

    // --- Redraw ------------------------------------------------------------
    void DisablePaint() { ++paintDisabled_; }
    void EnablePaint();
    bool paintEnabled() const { return paintDisabled_ == 0; }
    // Asks the widget for a new frame; with ForceRedraw set the widget must
    // not reuse a cached picture. ForceRedraw is cleared once the frame is drawn.
    void Risovan();
    bool ForceRedraw = false;
    // Grows with every change of what the map shows, so a widget can tell
    // whether its last frame is still the right picture.
    std::uint64_t contentVersion() const { return contentVersion_; }

    // --- Fly ---------------------------------------------------------------
    // Starts an animated flight to a map point and scale; a larger pace
    // flies faster. A driver then calls advanceFly until it says arrived.
    void startFly(double x, double y, double scale, double pace);
    // Moves the flight on to elapsedSeconds after its start; true on arrival.
    bool advanceFly(double elapsedSeconds);
    bool isFlying() const { return fly_.has_value(); }
    double flyDuration() const { return fly_ ? fly_->duration : 0; }
    // True while the view moves (a drag or a flight): a widget may show its
    // last frame moved and refine it when the motion stops.
    bool viewInMotion() const { return isFlying() || dragFrom_.has_value(); }

    // --- Filters and options --------------------------------------------
    void SetFilter(bool on);
    void SetFilterMassiv(int type, bool on);
    void SetFilterKateg(int type, bool on);
    const MapFilters& filters() const { return filters_; }
    void SetMpAllMapAfterLoad(bool on) { options_.AllMapAfterLoad = on; }
    // The zoom factor of one click of the scale instrument; a value of 1 or
    // below means the usual factor of 2.
    void SetStepLinza(double step);
    void SetView3D(bool on);
    void SetMpNumberDom(bool on);
    void SetmpNumberDomSizeFont(int size);
    bool mpNumberDom() const { return options_.NumberDom; }
    const MapOptions& options() const { return options_; }

    // --- Instruments and mouse --------------------------------------------
    int GetInstrument() const { return instrument_; }
    void SetInstrument(int instrument);
    void mouseDown(QPointF pixel, Qt::MouseButton button);
    void mouseMove(QPointF pixel, Qt::MouseButtons buttons);
    void mouseUp(QPointF pixel, Qt::MouseButton button);
    void mouseDoubleClick(QPointF pixel, Qt::MouseButton button);
    // up: the wheel turned away from the user (zoom in).
    void mouseWheel(QPointF pixel, bool up);
    void mouseEnter();
    // Escape ends a measurement or a dragged zoom box; true when it did.
    bool escapePressed();
    // The index of the object a click at pixel would pick, or -1.
    int objectAt(QPointF pixel) const;
    const Measurement& measurement() const { return measurement_; }

    // --- Events (set by the application) ----------------------------------
    std::function<void(Qt::MouseButton button, int x, int y)> OnMouseDown;
    std::function<void(int x, int y)> OnMouseMove;
    // Without a handler the wheel zooms about the cursor by itself.
    std::function<void(int x, int y)> OnMouseWheelDown;
    std::function<void(int x, int y)> OnMouseWheelUp;
    std::function<void()> OnMouseEnter;
    std::function<void()> OnChangeScale;
    std::function<void()> OnAfterLocate;
    std::function<void(double distance, double segment)> OnMeasure;
    PaintObjectHook OnPaintObject;
    PaintPolyLineHook OnPaintPolyLineEvent;
    // The widget's: asks for a repaint.
    std::function<void()> OnInvalidate;

    // A general-purpose integer the application may keep on the control.
    std::int32_t Tag = 0;

    // --- Drawing -----------------------------------------------------------
    // The route drawn over the streets (map points); empty: none. A new map
    // clears it.
    void SetRoute(std::vector<MapPoint> line);
    const std::vector<MapPoint>& route() const { return route_; }
    // Paints the current view into target (pixel coordinates of the view).
    void paint(QPainter& painter, const QRect& target);
    // The scene paint() draws, for widgets that render elsewhere.
    RenderScene scene() const;
    // The current view as a picture of the view's size.
    QImage picture();

private:
    void changed();
    void scaleChanged();
    void locateAt(QPointF pixel);
    void measureAt(QPointF pixel);
    void zoomToBox(const QRectF& pixels);
    double lensFactor() const;
    void applyFlyView(const FlyView& view);

    MapModel model_;
    QString attribution_; // of the loaded map file
    std::vector<MapPoint> route_;
    IconLibrary icons_;
    MapRenderer renderer_;
    Viewport view_;
    MapFilters filters_;
    MapOptions options_;
    Measurement measurement_;
    TPMXMapObjectMem current_;
    int currentIndex_ = -1;
    bool appending_ = false;
    double mashtab_ = 0;
    int instrument_ = inPointer;
    int paintDisabled_ = 0;
    std::uint64_t contentVersion_ = 0;
    QPointF mousePixel_;
    std::optional<QPointF> dragFrom_;     // drag instrument: last pixel of the drag
    std::optional<QPointF> zoomBoxFrom_;  // scale instrument: where the box began
    std::optional<QRectF> zoomBox_;       // the box while it is dragged, in pixels
    struct Flight {
        FlyPath path;
        double duration = 0;
        double targetX = 0;
        double targetY = 0;
        double targetScale = 0;
    };
    std::optional<Flight> fly_;
};
