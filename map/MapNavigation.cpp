#include "MapNavigation.h"

#include "MapEngine.h"
#include "Uidlist.h"
#include "Viewport.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kFittedViewPixels = 1000;
constexpr double kCityWithoutMapMetres = 10000;
// About 9 pixels a metre: house numbers and entrances are readable.
constexpr int kNearestScale = 20000;
constexpr int kStepsAcrossTheRange = 40;

int WholeMapScale(const QRectF& extent)
{
    const double side = std::max(extent.width(), extent.height());
    const double metres = side > 0 ? side : kCityWithoutMapMetres;
    return std::max(1, static_cast<int>(std::lround(kPixelsPerMetreUnit * kFittedViewPixels / metres)));
}

// Fills `value` with `fallback` unless it is a positive number; notes the item.
void fill(int& value, int fallback, int item, std::vector<int>& filled)
{
    if (value > 0)
        return;
    value = fallback;
    filled.push_back(item);
}

} // namespace

std::vector<int> FillMissingScales(TScaleParameters& scales, const QRectF& extent)
{
    const int whole = WholeMapScale(extent);
    std::vector<int> filled;
    fill(scales.MapScale, whole, 9, filled);
    fill(scales.MinScale, std::max(1, whole / 2), 10, filled);
    fill(scales.MaxScale, std::max(kNearestScale, 4 * std::max(whole, scales.MinScale)), 11, filled);
    fill(scales.StepScale, std::max(1, (scales.MaxScale - scales.MinScale) / kStepsAcrossTheRange), 12, filled);
    return filled;
}

double ZoomOutScale(double scale, const TScaleLimits& limits)
{
    const double stepped = scale - limits.StepScale;
    return limits.MinScale >= stepped ? limits.MinScale : stepped;
}

double ZoomInScale(double scale, const TScaleLimits& limits)
{
    const double stepped = scale + limits.StepScale;
    return limits.MaxScale > stepped ? stepped : limits.MaxScale;
}

bool WheelEventActs(std::int32_t& wheelCount)
{
    const bool acts = wheelCount % 2 != 0;
    // The counter wraps instead of overflowing; the wrap keeps the alternation.
    wheelCount = static_cast<std::int32_t>(static_cast<std::uint32_t>(wheelCount) + 1u);
    return acts;
}

TWheelZoom WheelDownZoom(double scale, const TScaleLimits& limits)
{
    if (limits.MinScale >= scale - limits.StepScale)
        return {.toLimit = true, .scale = static_cast<double>(limits.MinScale)};
    return {.delta = -static_cast<double>(limits.StepScale)};
}

TWheelZoom WheelUpZoom(double scale, const TScaleLimits& limits)
{
    if (limits.MaxScale > scale + limits.StepScale)
        return {.delta = static_cast<double>(limits.StepScale)};
    return {.toLimit = true, .scale = static_cast<double>(limits.MaxScale)};
}

void ChangeScaleMap(MapEngine& map, double delta)
{
    map.DisablePaint();
    const QPointF cursor = map.lastMousePixel();
    float px = static_cast<float>(cursor.x());
    float py = static_cast<float>(cursor.y());
    const double mx = map.GetMouseX();
    const double my = map.GetMouseY();
    map.SetScale(map.GetScale() + delta);
    map.TransKoordToMap(px, py);
    map.SetXWind(map.GetXWind() + (mx - px));
    map.SetYWind(map.GetYWind() + (my - py));
    map.EnablePaint();
    RedrawMap(map);
}

void RedrawMap(MapEngine& map)
{
    map.ForceRedraw = true;
    map.Risovan();
}

QString FormatScale(double scale, const QLocale& locale)
{
    QString text = QString::number(scale, 'f', 7);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    const bool negative = text.startsWith('-');
    if (negative)
        text.remove(0, 1);
    if (text == "0")
        text.clear();
    else if (text.startsWith("0."))
        text.remove(0, 1);
    text.replace('.', locale.decimalPoint());
    return negative && !text.isEmpty() ? locale.negativeSign() + text : text;
}

QString FormatNumberN(double value, const QLocale& locale)
{
    QLocale withGroups = locale;
    withGroups.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return withGroups.toString(value, 'f', 2);
}

QString ServisText(double scale, double mouseX, double mouseY, const QLocale& locale)
{
    return "Масштаб: " + FormatScale(scale, locale) + " Курсор:[x= " + FormatNumberN(mouseX, locale) +
           " y= " + FormatNumberN(mouseY, locale) + "]";
}

QString MeasureText(double distance, double segment, const QLocale& locale)
{
    return "Расстояние: " + FormatNumberN(distance, locale) + " м Сегмент: " + FormatNumberN(segment, locale) +
           " м";
}

std::optional<std::int32_t> LabelBuildingID(const TIDList& labels, std::int32_t labelId)
{
    const int index = labels.FindItemIndex(labelId);
    if (index < 0 || index >= static_cast<int>(labels.Values.size()))
        return std::nullopt;
    return labels.Values[static_cast<std::size_t>(index)];
}
