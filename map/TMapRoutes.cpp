#include "TMapRoutes.h"

#include "TDataMap.h"

#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>

namespace {

QString addressOf(const TPMXMapObjectMem& building)
{
    if (building.Street.isEmpty())
        return QStringLiteral("здание без адреса");
    return building.House.isEmpty() ? building.Street : building.Street + QStringLiteral(", ") + building.House;
}

} // namespace

TMapRoutes::TMapRoutes(TDataMap* map, QMenu* pmMap, std::function<void(const QStringList&)> showLines,
                       std::function<void()> restoreList, QObject* parent)
    : QObject(parent), map_(map), showLines_(std::move(showLines)), restoreList_(std::move(restoreList))
{
    pmMap->addSeparator();
    NRouteFrom = pmMap->addAction(QStringLiteral("Маршрут отсюда"));
    NRouteFrom->setObjectName(QStringLiteral("NRouteFrom"));
    NRouteTo = pmMap->addAction(QStringLiteral("Маршрут сюда"));
    NRouteTo->setObjectName(QStringLiteral("NRouteTo"));
    auto* modes = new QActionGroup(this);
    NRouteOnFoot = pmMap->addAction(QStringLiteral("Пешком"));
    NRouteOnFoot->setObjectName(QStringLiteral("NRouteOnFoot"));
    NRouteByCar = pmMap->addAction(QStringLiteral("На машине"));
    NRouteByCar->setObjectName(QStringLiteral("NRouteByCar"));
    for (QAction* mode : {NRouteOnFoot, NRouteByCar}) {
        mode->setCheckable(true);
        modes->addAction(mode);
    }
    NRouteOnFoot->setChecked(true);
    NRouteClear = pmMap->addAction(QStringLiteral("Убрать маршрут"));
    NRouteClear->setObjectName(QStringLiteral("NRouteClear"));
    NRouteClear->setShortcut(Qt::Key_Escape);
    NRouteClear->setShortcutContext(Qt::WidgetShortcut);

    connect(pmMap, &QMenu::aboutToShow, this, [this] { menuAboutToShow(); });
    connect(NRouteFrom, &QAction::triggered, this, [this] { ChooseEnd(true); });
    connect(NRouteTo, &QAction::triggered, this, [this] { ChooseEnd(false); });
    connect(NRouteOnFoot, &QAction::triggered, this, [this] {
        planner_.setMode(TravelMode::Foot);
        replan();
    });
    connect(NRouteByCar, &QAction::triggered, this, [this] {
        planner_.setMode(TravelMode::Car);
        replan();
    });
    connect(NRouteClear, &QAction::triggered, this, [this] { ClearRoute(); });
    map_->installEventFilter(this);
    menuAboutToShow();
}

QString TMapRoutes::LoadGraph(const QString& path)
{
    ClearRoute();
    planner_.load(path);
    menuAboutToShow();
    // An edition made before route graphs simply has none: nothing to report.
    return QFileInfo::exists(path) ? planner_.unavailableReason() : QString();
}

void TMapRoutes::menuAboutToShow()
{
    const bool building = OffersRouteFor(map_->CurrentObject());
    NRouteFrom->setVisible(building);
    NRouteTo->setVisible(building);
    NRouteOnFoot->setVisible(routeShown());
    NRouteByCar->setVisible(routeShown());
    NRouteClear->setVisible(routeShown());
}

bool TMapRoutes::OffersRouteFor(const TPMXMapObjectMem& object) const
{
    return planner_.available() && object.ObjType == otBuilding && object.ID > 0;
}

void TMapRoutes::ChooseEnd(bool from)
{
    const TPMXMapObjectMem& building = map_->CurrentObject();
    if (!OffersRouteFor(building))
        return;
    RouteEnd end{{building.X, building.Y}, addressOf(building)};
    if (from)
        planner_.setFrom(std::move(end));
    else
        planner_.setTo(std::move(end));
    replan();
}

void TMapRoutes::replan()
{
    const std::optional<RoutePlan> plan = planner_.plan();
    if (!plan) {
        map_->SetRoute({});
        return;
    }
    map_->SetRoute(plan->line);
    QStringList lines{plan->summary};
    if (plan->found && plan->directions.isEmpty())
        lines.push_back(QStringLiteral("Вы уже на месте."));
    for (const QString& step : plan->directions)
        lines.push_back(step.left(1).toUpper() + step.mid(1));
    showLines_(lines);
}

void TMapRoutes::ClearRoute()
{
    const bool shown = routeShown();
    planner_.clear();
    map_->SetRoute({});
    if (shown && restoreList_)
        restoreList_();
}

bool TMapRoutes::eventFilter(QObject* watched, QEvent* event)
{
    // Escape clears a route; with none it is left to the map.
    if (watched == map_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && routeShown()) {
        ClearRoute();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
