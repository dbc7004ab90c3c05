// Routes on the main window's map: "Маршрут отсюда" and "Маршрут сюда" in the
// map's pop-up menu for a building, the route drawn once both ends are
// chosen, its length, time and directions shown in the given list area, a
// switch between on foot and by car, and "Убрать маршрут" or Escape to clear
// it. Without the edition's graph file the menu offers no routes.
#pragma once

#include "RoutePlanner.h"

#include <QObject>

#include <functional>

class QAction;
class QActionGroup;
class QMenu;
class TDataMap;
struct TPMXMapObjectMem;

class TMapRoutes : public QObject {
    Q_OBJECT
public:
    // showLines gets the summary and directions, or the not-found message;
    // restoreList gives the list area back when the route is cleared.
    TMapRoutes(TDataMap* map, QMenu* pmMap, std::function<void(const QStringList&)> showLines,
               std::function<void()> restoreList, QObject* parent);

    // Reads the edition's graph file. Without it the menu offers no routes;
    // the reason is returned when the file is there but cannot be used.
    QString LoadGraph(const QString& path);

    QAction* NRouteFrom = nullptr;
    QAction* NRouteTo = nullptr;
    QAction* NRouteOnFoot = nullptr;
    QAction* NRouteByCar = nullptr;
    QAction* NRouteClear = nullptr;

    // Clears the route, its ends and the list area's route lines.
    void ClearRoute();

    // Whether the object can be an end of a route: a building of the map,
    // with the edition's graph read.
    bool OffersRouteFor(const TPMXMapObjectMem& object) const;
    // Makes the map's current building the start (from) or the end of the
    // route, as the menu's items do, and draws the route once both are chosen.
    void ChooseEnd(bool from);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void menuAboutToShow();
    void replan();
    bool routeShown() const { return planner_.hasFrom() || planner_.hasTo(); }

    TDataMap* map_;
    RoutePlanner planner_;
    std::function<void(const QStringList&)> showLines_;
    std::function<void()> restoreList_;
};
