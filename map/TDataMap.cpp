#include "TDataMap.h"

#include "MapStyle.h"
#include "RenderGeometry.h"
#include "TSmallPreView.h"

#include <QContextMenuEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace {

// A fresh frame follows this long after the last motion.
constexpr int kRefineDelayMs = 150;
// A kept frame older than this is not moved any further but redrawn, so a
// long flight still shows fresh detail several times a second.
constexpr qint64 kStaleFrameMs = 120;
// Frames cheaper than this are always drawn fresh: moving one would not pay.
constexpr qint64 kCheapFrameMs = 8;
// Beyond this change of scale a moved frame is too coarse or too small to show.
constexpr double kLargestMovedZoom = 2.0;
constexpr int kFlyTickMs = 15;

} // namespace

TDataMap::TDataMap(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    refineTimer_.setSingleShot(true);
    refineTimer_.setInterval(kRefineDelayMs);
    connect(&refineTimer_, &QTimer::timeout, this, [this] { update(); });
    flyTimer_.setInterval(kFlyTickMs);
    connect(&flyTimer_, &QTimer::timeout, this, &TDataMap::flyStep);
    OnInvalidate = [this] { invalidate(); };
    setViewSize(size());
}

TDataMap::~TDataMap()
{
    OnInvalidate = nullptr;
    emit flightEnded(); // a Fly waiting in its own event loop must return
}

void TDataMap::Fly(double x, double y, double scale, double pace)
{
    startFly(x, y, scale, pace);
    flyClock_.start();
    flyStep();
    if (!isFlying())
        return;
    flyTimer_.start();
    QEventLoop loop;
    connect(this, &TDataMap::flightEnded, &loop, &QEventLoop::quit);
    loop.exec();
}

void TDataMap::flyStep()
{
    noteMotion();
    if (!advanceFly(static_cast<double>(flyClock_.nsecsElapsed()) / 1e9))
        return;
    flyTimer_.stop();
    emit flightEnded();
}

QImage TDataMap::Picture()
{
    if (frameValid_ && keptFrameFits())
        return frame_.copy();
    return picture();
}

void TDataMap::SetSmallView(TSmallPreView* preview)
{
    if (smallView_ == preview)
        return;
    TSmallPreView* previous = smallView_;
    smallView_ = preview;
    if (previous)
        previous->setMap(nullptr);
    if (preview)
        preview->setMap(this);
}

TSmallPreView* TDataMap::SmallView() const { return smallView_; }

void TDataMap::invalidate()
{
    update();
    emit viewChanged();
}

void TDataMap::noteMotion() { refineTimer_.start(); }

bool TDataMap::keptFrameFits() const
{
    const QSize pixels = size() * devicePixelRatio();
    return frameValid_ && frameVersion_ == contentVersion() && !ForceRedraw && frame_.size() == pixels;
}

bool TDataMap::mayShowKeptFrameMoved() const
{
    if (!frameValid_ || !(refineTimer_.isActive() || viewInMotion()))
        return false;
    if (lastRenderMs_ < kCheapFrameMs || frameAge_.elapsed() > kStaleFrameMs)
        return false;
    const double zoom = GetScale() / frameView_.GetScale();
    return frameView_.size() == view().size() && zoom <= kLargestMovedZoom && zoom >= 1 / kLargestMovedZoom;
}

void TDataMap::renderFrame()
{
    QElapsedTimer clock;
    clock.start();
    const qreal ratio = devicePixelRatio();
    if (frame_.size() != size() * ratio)
        frame_ = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    frame_.setDevicePixelRatio(ratio);
    QPainter painter(&frame_);
    paint(painter, rect());
    frameView_ = view();
    frameVersion_ = contentVersion();
    frameValid_ = true;
    frameAge_.start();
    lastRenderMs_ = clock.elapsed();
}

void TDataMap::drawKeptFrameMoved(QPainter& painter)
{
    painter.fillRect(rect(), MapStyle::landColor());
    painter.drawImage(keptFrameTarget(frameView_, view()), frame_);
}

void TDataMap::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!paintEnabled() || keptFrameFits()) {
        painter.drawImage(QPointF(0, 0), frame_);
        return;
    }
    if (mayShowKeptFrameMoved()) {
        drawKeptFrameMoved(painter);
        return;
    }
    renderFrame();
    painter.drawImage(QPointF(0, 0), frame_);
}

void TDataMap::resizeEvent(QResizeEvent*)
{
    // The map point in the middle stays in the middle: a view set up before
    // the window took its final size still shows what it was set up for.
    const QPointF centre = view().centre();
    DisablePaint();
    setViewSize(size());
    const double ppm = view().pixelsPerMetre();
    SetXWind(centre.x() - width() / 2.0 / ppm);
    SetYWind(centre.y() + height() / 2.0 / ppm);
    EnablePaint();
}

void TDataMap::mousePressEvent(QMouseEvent* event) { mouseDown(event->position(), event->button()); }

void TDataMap::mouseMoveEvent(QMouseEvent* event)
{
    mouseMove(event->position(), event->buttons());
    if (viewInMotion())
        noteMotion();
}

void TDataMap::mouseReleaseEvent(QMouseEvent* event) { mouseUp(event->position(), event->button()); }

void TDataMap::mouseDoubleClickEvent(QMouseEvent* event) { mouseDoubleClick(event->position(), event->button()); }

void TDataMap::wheelEvent(QWheelEvent* event)
{
    if (event->angleDelta().y() == 0)
        return;
    noteMotion();
    mouseWheel(event->position(), event->angleDelta().y() > 0);
}

void TDataMap::enterEvent(QEnterEvent*) { mouseEnter(); }

void TDataMap::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && escapePressed())
        return;
    QWidget::keyPressEvent(event);
}

void TDataMap::contextMenuEvent(QContextMenuEvent* event)
{
    if (AutoPopup && PopupMenu)
        PopupMenu->popup(event->globalPos());
}
