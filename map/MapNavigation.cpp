#include "MapNavigation.h"

#include "MapEngine.h"
#include "Uidlist.h"

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
