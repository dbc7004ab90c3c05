#include "MapNavigator.h"

#include "PaintHooks.h"
#include "TDataMap.h"
#include "TfrmMiniMap.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>

namespace {

int valueOf(const int* global) { return global ? *global : 0; }

// IsFlying is true exactly while a flight runs, also when the flight is cut
// short by an exception.
class FlyingFlag {
public:
    explicit FlyingFlag(bool* flag) : flag_(flag)
    {
        if (flag_)
            *flag_ = true;
    }
    ~FlyingFlag()
    {
        if (flag_)
            *flag_ = false;
    }
    FlyingFlag(const FlyingFlag&) = delete;
    FlyingFlag& operator=(const FlyingFlag&) = delete;

private:
    bool* flag_;
};

// The arrow keys move the view by this share of its width or height.
constexpr double kArrowPanShare = 0.25;

} // namespace

TMapNavigator::TMapNavigator(const TMapNavigatorControls& controls, const TMapNavigatorGlobals& globals,
                             TMapNavigatorCallbacks callbacks, QObject* parent)
    : QObject(parent), controls_(controls), globals_(globals), callbacks_(std::move(callbacks))
{
    Q_ASSERT(controls_.DataMap);
    connectInstrumentButtons();
    connectZoomControls();
    connectMapMenu();
    connectMapEvents();
    if (controls_.btMiniMap) {
        controls_.btMiniMap->setCheckable(true);
        connect(controls_.btMiniMap, &QAbstractButton::clicked, this, [this] { btMiniMapClick(); });
        showMiniMapState();
    }
    SelectInstrument(controls_.DataMap->GetInstrument());
}

void TMapNavigator::SetMiniMap(TfrmMiniMap* miniMap)
{
    if (miniMap_)
        disconnect(miniMap_, nullptr, this, nullptr);
    miniMap_ = miniMap;
    if (miniMap_) {
        miniMap_->SetDataMap(controls_.DataMap);
        connect(miniMap_, &TfrmMiniMap::visibilityChanged, this, [this] { showMiniMapState(); });
        // QWidget's destructor emits destroyed() after TfrmMiniMap's has run and
        // before the guarded pointer is cleared: the object is no TfrmMiniMap any
        // more, so the pointer lets it go before anything looks at it.
        connect(miniMap_, &QObject::destroyed, this, [this] {
            miniMap_.clear();
            showMiniMapState();
        });
    }
    showMiniMapState();
}

TScaleLimits TMapNavigator::Limits() const
{
    return {valueOf(globals_.MinScale), valueOf(globals_.MaxScale), valueOf(globals_.StepScale)};
}

// --- Buttons and menu ------------------------------------------------------------

void TMapNavigator::connectInstrumentButtons()
{
    const std::pair<QAbstractButton*, int> group[] = {
        {controls_.btScale, inScale},
        {controls_.btPick, inPointer},
        {controls_.btDragMap, inDrag},
        {controls_.btiMeasure, inMeasure},
    };
    for (const auto& [button, instrument] : group) {
        if (!button)
            continue;
        button->setCheckable(true);
        // Captured under a new name: clang 14, which the static analysis runs on, cannot capture a binding.
        connect(button, &QAbstractButton::clicked, this,
                [this, chosen = instrument] { SelectInstrument(chosen); });
    }
}

void TMapNavigator::SelectInstrument(int instrument)
{
    controls_.DataMap->SetInstrument(instrument);
    const int current = controls_.DataMap->GetInstrument();
    const std::pair<QAbstractButton*, int> group[] = {
        {controls_.btScale, inScale},
        {controls_.btPick, inPointer},
        {controls_.btDragMap, inDrag},
        {controls_.btiMeasure, inMeasure},
    };
    // Down first, then up: in an exclusive button group the one going down
    // takes the place of the other.
    for (const auto& [button, ordinal] : group)
        if (button && ordinal == current)
            button->setChecked(true);
    for (const auto& [button, ordinal] : group)
        if (button && ordinal != current)
            button->setChecked(false);
}

void TMapNavigator::connectZoomControls()
{
    if (controls_.btScaleInc)
        connect(controls_.btScaleInc, &QAbstractButton::clicked, this, [this] { btScaleIncClick(); });
    if (controls_.btScaleDec)
        connect(controls_.btScaleDec, &QAbstractButton::clicked, this, [this] { btScaleDecClick(); });
    if (controls_.NIncScale)
        connect(controls_.NIncScale, &QAction::triggered, this, [this] { btScaleIncClick(); });
    if (controls_.NScaleDec)
        connect(controls_.NScaleDec, &QAction::triggered, this, [this] { btScaleDecClick(); });
}

void TMapNavigator::btScaleIncClick() { controls_.DataMap->SetScale(ZoomOutScale(controls_.DataMap->GetScale(), Limits())); }

void TMapNavigator::btScaleDecClick() { controls_.DataMap->SetScale(ZoomInScale(controls_.DataMap->GetScale(), Limits())); }

void TMapNavigator::connectMapMenu()
{
    if (!controls_.pmMap)
        return;
    controls_.DataMap->PopupMenu = controls_.pmMap;
    connect(controls_.pmMap, &QMenu::aboutToShow, this, [this] { pmMapPopup(); });
    if (controls_.NAddBookmark && callbacks_.AddBookmark)
        connect(controls_.NAddBookmark, &QAction::triggered, this, [this] { callbacks_.AddBookmark(); });
    if (controls_.NDiaryAdd && callbacks_.AddToDiary)
        connect(controls_.NDiaryAdd, &QAction::triggered, this, [this] { callbacks_.AddToDiary(); });
}

void TMapNavigator::pmMapPopup()
{
    if (controls_.NAddBookmark)
        controls_.NAddBookmark->setVisible(controls_.DataMap->CurrentObject().ObjType == otBuilding);
}

void TMapNavigator::btMiniMapClick()
{
    if (miniMap_)
        miniMap_->setVisible(!miniMap_->isVisible());
    showMiniMapState();
}

void TMapNavigator::showMiniMapState()
{
    if (controls_.btMiniMap)
        controls_.btMiniMap->setChecked(miniMap_ && miniMap_->isVisible());
}

// --- The map's events ----------------------------------------------------------

void TMapNavigator::connectMapEvents()
{
    TDataMap* map = controls_.DataMap;
    map->OnMouseDown = [this](Qt::MouseButton button, int x, int y) { DataMapMouseDown(button, x, y); };
    map->OnMouseMove = [this](int x, int y) { DataMapMouseMove(x, y); };
    map->OnMouseWheelDown = [this](int x, int y) { DataMapMouseWheelDown(x, y); };
    map->OnMouseWheelUp = [this](int x, int y) { DataMapMouseWheelUp(x, y); };
    map->OnMouseEnter = [this] { DataMapMouseEnter(); };
    map->OnChangeScale = [this] { DataMapChangeScale(); };
    map->OnMeasure = [this](double distance, double segment) { DataMapMeasure(distance, segment); };
    map->OnAfterLocate = [this] { DataMapAfterLocate(); };
    map->installEventFilter(this);
}

void TMapNavigator::Servis()
{
    if (!controls_.lInfo)
        return;
    const TDataMap* map = controls_.DataMap;
    controls_.lInfo->setText(ServisText(map->GetScale(), map->GetMouseX(), map->GetMouseY()));
}

void TMapNavigator::DataMapMouseDown(Qt::MouseButton, int, int)
{
    controls_.DataMap->AutoPopup = controls_.DataMap->GetInstrument() == inPointer;
}

void TMapNavigator::DataMapMouseMove(int, int)
{
    // While measuring the status line keeps the last distance.
    if (controls_.DataMap->GetInstrument() != inMeasure)
        Servis();
}

void TMapNavigator::DataMapMouseWheelDown(int, int)
{
    if (WheelEventActs(controls_.DataMap->Tag))
        applyWheelZoom(WheelDownZoom(controls_.DataMap->GetScale(), Limits()));
}

void TMapNavigator::DataMapMouseWheelUp(int, int)
{
    if (WheelEventActs(controls_.DataMap->Tag))
        applyWheelZoom(WheelUpZoom(controls_.DataMap->GetScale(), Limits()));
}

void TMapNavigator::applyWheelZoom(const TWheelZoom& zoom)
{
    if (zoom.toLimit) {
        controls_.DataMap->SetScale(zoom.scale);
        return;
    }
    ChangeScaleMap(*controls_.DataMap, zoom.delta);
    // The scale event came before the view was moved back under the cursor.
    Servis();
}

void TMapNavigator::DataMapMouseEnter()
{
    if (!controls_.DataMap->hasFocus())
        controls_.DataMap->setFocus();
}

void TMapNavigator::DataMapChangeScale()
{
    Servis();
    const bool flying = globals_.IsFlying && *globals_.IsFlying;
    if (!flying)
        PaintNumberDom(*controls_.DataMap);
    PaintLayers(*controls_.DataMap);
}

void TMapNavigator::DataMapMeasure(double distance, double segment)
{
    if (controls_.lInfo)
        controls_.lInfo->setText(MeasureText(distance, segment));
    QCoreApplication::processEvents();
}

void TMapNavigator::DataMapAfterLocate()
{
    TDataMap* map = controls_.DataMap;
    const std::int32_t type = map->CurrentObject().ObjType;
    if (type == otBuilding && !(callbacks_.DiaryPageActive && callbacks_.DiaryPageActive())) {
        if (callbacks_.ShowBuildingPage)
            callbacks_.ShowBuildingPage();
    }
    if (type == otLabel)
        flyToLabelledBuilding();
    if (map->CurrentObject().ObjType == otDistrict) {
        const TPMXMapObjectMem& district = map->CurrentObject();
        flyTo(district.X, district.Y, kDistrictFlyScale);
    }
    RedrawMap(*map);
}

void TMapNavigator::flyToLabelledBuilding()
{
    TDataMap* map = controls_.DataMap;
    if (!callbacks_.LabelBuilding)
        return;
    const std::optional<std::int32_t> building = callbacks_.LabelBuilding(map->CurrentObject().ID);
    if (!building)
        return;
    const int index = map->FindObjectID(*building, 0);
    if (index < 0)
        return;
    map->EditObject(index);
    RedrawMap(*map);
    if (callbacks_.ShowBuildingPage)
        callbacks_.ShowBuildingPage();
    const TPMXMapObjectMem& target = map->CurrentObject();
    flyTo(target.X, target.Y, kLabelFlyScale);
}

void TMapNavigator::flyTo(double x, double y, double scale)
{
    {
        FlyingFlag flying(globals_.IsFlying);
        controls_.DataMap->Fly(x, y, scale, kLocateFlyPace);
    }
    PaintNumberDom(*controls_.DataMap);
}

// --- Keyboard ----------------------------------------------------------------------

bool TMapNavigator::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != controls_.DataMap || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        btScaleDecClick();
        return true;
    case Qt::Key_Minus:
        btScaleIncClick();
        return true;
    case Qt::Key_Left:
        panByViewShare(-kArrowPanShare, 0);
        return true;
    case Qt::Key_Right:
        panByViewShare(kArrowPanShare, 0);
        return true;
    case Qt::Key_Up:
        panByViewShare(0, -kArrowPanShare);
        return true;
    case Qt::Key_Down:
        panByViewShare(0, kArrowPanShare);
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

void TMapNavigator::panByViewShare(double right, double down)
{
    TDataMap* map = controls_.DataMap;
    const double ppm = map->view().pixelsPerMetre();
    if (ppm <= 0)
        return;
    map->DisablePaint();
    map->SetXWind(map->GetXWind() + right * map->width() / ppm);
    map->SetYWind(map->GetYWind() - down * map->height() / ppm);
    map->EnablePaint();
    Servis();
}
