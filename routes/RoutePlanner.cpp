#include "RoutePlanner.h"

#include "Directions.h"
#include "GraphFormat.h"

RoutePlanner::RoutePlanner() = default;
RoutePlanner::~RoutePlanner() = default;

void RoutePlanner::load(const QString& graphPath)
{
    router_.reset();
    clear();
    Result<StreetGraph> graph = loadGraphFile(graphPath);
    if (!graph) {
        reason_ = graph.error();
        return;
    }
    reason_.clear();
    router_ = std::make_unique<Router>(std::move(graph).value());
}

void RoutePlanner::clear()
{
    from_.reset();
    to_.reset();
}

std::optional<RoutePlan> RoutePlanner::plan()
{
    if (!router_ || !from_ || !to_)
        return std::nullopt;
    RoutePlan plan;
    const std::optional<Route> route = router_->route(from_->point, to_->point, mode_);
    if (!route) {
        plan.summary = QStringLiteral("Маршрут не найден");
        return plan;
    }
    plan.found = true;
    plan.line = route->line();
    plan.summary = QStringLiteral("%1: %2, %3")
                       .arg(mode_ == TravelMode::Foot ? QStringLiteral("Пешком") : QStringLiteral("На машине"),
                            lengthText(route->length), durationText(route->seconds));
    plan.directions = directions(*route, router_->graph(), mode_);
    return plan;
}
