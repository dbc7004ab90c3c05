// The main window's map handling: the instrument buttons, the zoom buttons
// and menu items, the wheel, the status line, the reaction to a clicked
// object, the map menu, the mini-map button and the map's keyboard (+ and -
// zoom, the arrow keys move the view, Escape ends a measurement).
//
// The main window owns one navigator and hands it its controls, its scale
// globals and callbacks for what other parts of the window do (the building
// page, the category labels, the bookmark and diary commands).
#pragma once

#include "MapNavigation.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <optional>

class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class TDataMap;
class TfrmMiniMap;

struct TMapNavigatorControls {
    TDataMap* DataMap = nullptr;
    // The instrument group: scale (13), pointer (2), drag (16), measure (1).
    QAbstractButton* btScale = nullptr;
    QAbstractButton* btPick = nullptr;
    QAbstractButton* btDragMap = nullptr;
    QAbstractButton* btiMeasure = nullptr;
    QAbstractButton* btScaleInc = nullptr; // "Уменьшить масштаб": one step out
    QAbstractButton* btScaleDec = nullptr; // "Увеличить масштаб": one step in
    QAbstractButton* btMiniMap = nullptr;
    QLabel* lInfo = nullptr;
    QMenu* pmMap = nullptr;
    QAction* NAddBookmark = nullptr;
    QAction* NDiaryAdd = nullptr;
    QAction* NIncScale = nullptr; // "Уменьшить"
    QAction* NScaleDec = nullptr; // "Увеличить"
};

// The main window's globals the navigator reads and writes.
struct TMapNavigatorGlobals {
    const int* MinScale = nullptr;
    const int* MaxScale = nullptr;
    const int* StepScale = nullptr;
    bool* IsFlying = nullptr;
};

struct TMapNavigatorCallbacks {
    // ShowPage(4, true): the building information page, refreshed.
    std::function<void()> ShowBuildingPage;
    // True while the diary page is the active page of pcTabs.
    std::function<bool()> DiaryPageActive;
    // The building a category label stands for (idLabels; LabelBuildingID).
    std::function<std::optional<std::int32_t>(std::int32_t labelId)> LabelBuilding;
    // The map menu's "Добавить в закладки" and "Добавить в дневник".
    std::function<void()> AddBookmark;
    std::function<void()> AddToDiary;
};

// The scales of a located object's flight and its pace.
inline constexpr double kLabelFlyScale = 2000;
inline constexpr double kDistrictFlyScale = 1000;
inline constexpr double kLocateFlyPace = 30;

class TMapNavigator : public QObject {
    Q_OBJECT

public:
    TMapNavigator(const TMapNavigatorControls& controls, const TMapNavigatorGlobals& globals,
                  TMapNavigatorCallbacks callbacks, QObject* parent = nullptr);

    // The mini-map window comes later than the main window (the splash
    // creates it): its showing and hiding then drive btMiniMap.
    void SetMiniMap(TfrmMiniMap* miniMap);

    TScaleLimits Limits() const;

    void btScaleIncClick();
    void btScaleDecClick();
    void btMiniMapClick();
    void SelectInstrument(int instrument);
    void Servis();
    void pmMapPopup();

    void DataMapMouseDown(Qt::MouseButton button, int x, int y);
    void DataMapMouseMove(int x, int y);
    void DataMapMouseWheelDown(int x, int y);
    void DataMapMouseWheelUp(int x, int y);
    void DataMapMouseEnter();
    void DataMapChangeScale();
    void DataMapMeasure(double distance, double segment);
    void DataMapAfterLocate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectInstrumentButtons();
    void connectZoomControls();
    void connectMapMenu();
    void connectMapEvents();
    void applyWheelZoom(const TWheelZoom& zoom);
    void flyTo(double x, double y, double scale);
    void flyToLabelledBuilding();
    void panByViewShare(double right, double down);
    void showMiniMapState();

    TMapNavigatorControls controls_;
    TMapNavigatorGlobals globals_;
    TMapNavigatorCallbacks callbacks_;
    QPointer<TfrmMiniMap> miniMap_;
};
