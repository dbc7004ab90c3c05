// What the map window keeps of a route: the edition's street graph (or why
// there is none), the two ends the user chose, on foot or by car, and the
// planned route as a line to draw and words to show.
#pragma once

#include "Router.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

struct RouteEnd {
    MapPoint point; // a building's centre
    QString name;   // its address, for the summary
};

struct RoutePlan {
    bool found = false;
    std::vector<MapPoint> line; // empty when not found
    QString summary;            // "Пешком: 1,2 км, 15 мин" or "Маршрут не найден"
    QStringList directions;
};

class RoutePlanner {
public:
    RoutePlanner();
    ~RoutePlanner();

    // Reads the graph file of the opened edition; a missing or damaged file
    // leaves the planner without routes and keeps the reason.
    void load(const QString& graphPath);
    bool available() const { return router_ != nullptr; }
    const QString& unavailableReason() const { return reason_; }

    void setFrom(RouteEnd end) { from_ = std::move(end); }
    void setTo(RouteEnd end) { to_ = std::move(end); }
    void setMode(TravelMode mode) { mode_ = mode; }
    TravelMode mode() const { return mode_; }
    void clear();
    bool hasFrom() const { return from_.has_value(); }
    bool hasTo() const { return to_.has_value(); }

    // The route between the chosen ends, once both are chosen and the graph is there.
    std::optional<RoutePlan> plan();

private:
    std::unique_ptr<Router> router_;
    QString reason_;
    std::optional<RouteEnd> from_;
    std::optional<RouteEnd> to_;
    TravelMode mode_ = TravelMode::Foot;
};
