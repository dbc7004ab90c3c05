// The viewer's window: the map control with keyboard shortcuts, a status
// line and the overview in a tool window.
#pragma once

#include "TDataMap.h"
#include "TSmallPreView.h"

#include <QLabel>
#include <QWidget>

class MapViewer : public QWidget {
    Q_OBJECT

public:
    MapViewer();
    TDataMap& map() { return *map_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showStatus();
    void zoomBy(double factor);
    void panBy(double dx, double dy);

    TDataMap* map_;
    QLabel* status_;
    QWidget* overviewWindow_;
};
