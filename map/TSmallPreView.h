// The overview of the whole map with the rectangle that the main map shows.
// The map it belongs to keeps it in step (TDataMap::SetSmallView); a click
// or a drag on it recentres the main map there, keeping its scale.
#pragma once

#include "MapRenderer.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

class TDataMap;

class TSmallPreView : public QWidget {
    Q_OBJECT

public:
    explicit TSmallPreView(QWidget* parent = nullptr);

    // Called by the map in TDataMap::SetSmallView.
    void setMap(TDataMap* map);
    TDataMap* map() const { return map_; }

    // The overview's own view: the whole map fitted into the control.
    Viewport overviewView() const;
    // The main map's view as a rectangle of the overview's pixels.
    QRectF mainViewRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct OverviewKey {
        int count = -1;
        QRectF extent;
        QSize size;
        friend bool operator==(const OverviewKey&, const OverviewKey&) = default;
    };

    OverviewKey currentKey() const;
    void refreshOverview();
    void recentreAt(QPointF pixel);

    QPointer<TDataMap> map_;
    QMetaObject::Connection viewConnection_;
    QImage overview_;
    OverviewKey overviewKey_;
    MapRenderer renderer_;
};
