// The map control: a widget over the map engine. It turns Qt's events into
// the engine's mouse calls and paints the engine's frames; every operation,
// option and event of the control is the engine's own (MapEngine is a base).
//
// Frames are kept: a repaint that finds the view unchanged shows the kept
// frame. While the view moves (a drag, a wheel zoom, a flight) the kept frame
// is shown moved and scaled, and a fresh frame follows when the motion stops
// or when the kept one has grown too stale, so the GUI thread never waits for
// more than one frame at a time.
#pragma once

#include "MapEngine.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QMenu;
class TSmallPreView;

class TDataMap : public QWidget, public MapEngine {
    Q_OBJECT

public:
    explicit TDataMap(QWidget* parent = nullptr);
    ~TDataMap() override;

    // Flies the view to a map point and scale; a larger pace flies faster.
    // Returns when the view has arrived (the events of the program are
    // served meanwhile; OnChangeScale is raised on the way).
    void Fly(double x, double y, double scale, double pace);

    // The map as it is drawn now, at the size of the control.
    QImage Picture();

    // The overview control this map keeps in step with its view; null for none.
    void SetSmallView(TSmallPreView* preview);
    TSmallPreView* SmallView() const;

    // The pop-up menu of a right click, shown only while AutoPopup is set.
    QMenu* PopupMenu = nullptr;
    bool AutoPopup = true;

signals:
    // The view or what it shows has changed (for the overview).
    void viewChanged();
    void flightEnded();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void invalidate();
    void noteMotion();
    void flyStep();
    bool keptFrameFits() const;
    bool mayShowKeptFrameMoved() const;
    void renderFrame();
    void drawKeptFrameMoved(QPainter& painter);

    QImage frame_;
    Viewport frameView_;
    std::uint64_t frameVersion_ = 0;
    bool frameValid_ = false;
    QElapsedTimer frameAge_;
    qint64 lastRenderMs_ = 0;
    QTimer refineTimer_;
    QTimer flyTimer_;
    QElapsedTimer flyClock_;
    QPointer<TSmallPreView> smallView_;
};
