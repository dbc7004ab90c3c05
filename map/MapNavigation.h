// The arithmetic and texts of moving about the map, free of any window: zoom
// steps within the edition's limits, the wheel that acts on every second
// event, zooming about the cursor, the status line texts and the lookup of a
// category label's building.
#pragma once

#include <QLocale>
#include <QRectF>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class MapEngine;
class TDataMap;
class TIDList;

// The edition's scale parameters (content items 10, 11 and 12).
struct TScaleLimits {
    int MinScale = 0;
    int MaxScale = 0;
    int StepScale = 0;
};

// The scale parameters as the edition gives them (content items 9 to 12).
struct TScaleParameters {
    int MapScale = 0;
    int MinScale = 0;
    int MaxScale = 0;
    int StepScale = 0;
};

// An edition without its scale items would zoom the map to a dot: every
// parameter that is not a positive number gets a value fitted to the map's
// extent (in map metres; an empty extent stands for a city of 10 km). The
// whole map fits a view of 1000 pixels at the start scale, the far limit
// shows it at half that size, the near limit shows a few houses, and a step
// is a fortieth of the range. Returns the content items given a value.
std::vector<int> FillMissingScales(TScaleParameters& scales, const QRectF& extent);

// One step out ("Уменьшить"): never below MinScale.
double ZoomOutScale(double scale, const TScaleLimits& limits);
// One step in ("Увеличить"): never above MaxScale.
double ZoomInScale(double scale, const TScaleLimits& limits);

// Only every second wheel event acts, both directions counted together:
// true when this one does. The counter grows by one in every case.
bool WheelEventActs(std::int32_t& wheelCount);

// What an acting wheel event does: either the scale jumps to a limit (the
// cursor point is not kept then) or the view zooms about the cursor by delta.
struct TWheelZoom {
    bool toLimit = false;
    double scale = 0; // the limit, when toLimit
    double delta = 0; // the change of scale about the cursor, otherwise
};
TWheelZoom WheelDownZoom(double scale, const TScaleLimits& limits);
TWheelZoom WheelUpZoom(double scale, const TScaleLimits& limits);

// Changes the scale by delta keeping the map point under the last cursor
// pixel where it is, then redraws.
void ChangeScaleMap(MapEngine& map, double delta);

// Redraws the map from scratch: no kept picture is reused.
void RedrawMap(MapEngine& map);

// The scale as the pattern "#.#######" writes it: no group separators, at
// most seven decimals, no trailing zeros and no zero before the decimal
// separator (so 0.5 is ",5" in a Russian locale).
QString FormatScale(double scale, const QLocale& locale = QLocale());
// A number as the %n conversion writes it: group separators and two decimals.
QString FormatNumberN(double value, const QLocale& locale = QLocale());

// "Масштаб: 5000 Курсор:[x= 1 234,50 y= 987,00]"
QString ServisText(double scale, double mouseX, double mouseY, const QLocale& locale = QLocale());
// "Расстояние: 1 200,00 м Сегмент: 300,00 м"
QString MeasureText(double distance, double segment, const QLocale& locale = QLocale());

// The building that a category label stands for: the second integer of the
// label's entry in the list of placed labels; nothing for an unknown label.
std::optional<std::int32_t> LabelBuildingID(const TIDList& labels, std::int32_t labelId);
