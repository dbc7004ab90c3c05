#include "ContentItems.h"

#include "Vdlconsts.h"

#include <algorithm>
#include <cmath>

namespace {

QByteArray number(int value) { return QByteArray::number(value); }

// The width of the built-up city: the districts' extent, not the river or
// the highways that run on beyond it.
double cityWidth(const City& city)
{
    double left = 1e18, right = -1e18, bottom = 1e18, top = -1e18;
    for (const TPMXMapObjectMem& object : city.objects) {
        if (object.ObjType != otDistrict)
            continue;
        for (const MapPoint& point : object.Geometry) {
            left = std::min<double>(left, point.x);
            right = std::max<double>(right, point.x);
            bottom = std::min<double>(bottom, point.y);
            top = std::max<double>(top, point.y);
        }
    }
    return left > right ? city.extent.width() : std::max(right - left, top - bottom);
}

const char* const kPriceRows[][2] = {
    {"Строка в рубрике (название, адрес, телефон)", "бесплатно"},
    {"Логотип в списке организаций", "1 500"},
    {"Выделение названия цветом и шрифтом", "900"},
    {"Рекламная статья с фотографией", "3 500"},
    {"Размещение в начале списка рубрики", "2 000"},
    {"Баннер 270×60 в ротации под списком организаций", "6 000"},
    {"Баннер 200×60 в ротации на панели инструментов", "5 000"},
    {"Баннер 200×200 на заставке или на экране завершения", "9 000"},
    {"Дополнительная рубрика", "500"},
    {"Дополнительный адрес с телефонами", "400"},
};

} // namespace

ScaleParameters ScaleParametersFor(const City& city)
{
    // Pixels per metre are scale / 2160; the city should fill 1000 pixels.
    const int whole = static_cast<int>(std::lround(2160.0 * 1000.0 / std::max(cityWidth(city), 1000.0)));
    ScaleParameters scales;
    scales.mapScale = whole;
    scales.minScale = std::max(10, static_cast<int>(std::lround(whole * 0.45)));
    scales.maxScale = 20000;
    scales.stepScale = 200;
    scales.lensStep = 2;
    return scales;
}

QString EditionRegistryKey(int edition)
{
    return QStringLiteral("Software\\Varindel TLX Company\\") +
           (edition == 2 ? QStringLiteral("Korvinsk") : QStringLiteral("Olmarsk")) + QLatin1Char('\\');
}

QByteArray PriceListHtml(int edition)
{
    const QString city = QString::fromUtf8(MapNames[static_cast<std::size_t>(edition)]);
    QString rows;
    for (const auto& row : kPriceRows)
        rows += QStringLiteral("<tr><td>%1</td><td class=\"price\">%2</td></tr>\n")
                    .arg(QString::fromUtf8(row[0]), QString::fromUtf8(row[1]));
    const QString page =
        QStringLiteral("<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>Прайс-лист</title>\n"
                       "<style>body{font-family:sans-serif;margin:20px;color:#222}table{border-collapse:collapse}"
                       "td,th{border:1px solid #999;padding:4px 10px}th{background:#dde7f3}"
                       ".price{text-align:right}</style>\n</head>\n<body>\n"
                       "<h1>Прайс-лист на размещение информации</h1>\n"
                       "<p>Информационно-коммерческий справочник Вариндел, издание «%1».</p>\n"
                       "<table>\n<tr><th>Услуга</th><th>Цена за выпуск, руб.</th></tr>\n%2</table>\n"
                       "<p>Цены указаны с учётом НДС. Заявки принимаются через пункт меню "
                       "«Cвязь с Варинделом» — «Отправить заявку».</p>\n</body>\n</html>\n")
            .arg(city, rows);
    return page.toUtf8();
}

std::vector<ContentItem> MakeContentItems(const ContentSources& sources)
{
    const QString key = EditionRegistryKey(sources.edition);
    auto text = [](const QString& value) { return value.toUtf8(); };
    const ScaleParameters scales = ScaleParametersFor(sources.city);
    std::vector<ContentItem> items{
        {1, 0, sources.iconLibrary},
        {2, 0, sources.map},
        {3, 0, PriceListHtml(sources.edition)},
        {5, 0, text(key + QStringLiteral("BookmarksValues\\"))},
        {6, 0, text(key + QStringLiteral("BookmarksNames\\"))},
        {7, 0, text(key + QStringLiteral("Favorites\\"))},
        {8, 0, text(key + QStringLiteral("TabsHeight\\"))},
        {9, 0, number(scales.mapScale)},
        {10, 0, number(scales.minScale)},
        {11, 0, number(scales.maxScale)},
        {12, 0, number(scales.stepScale)},
        {23, 0, text(key + QStringLiteral("Diary\\"))},
        {24, 0, text(key + QStringLiteral("DiaryObjects\\"))},
        {35, 0, number(15)},
        {36, 0, number(20)},
    };
    for (const BannerItem& banner : sources.banners)
        items.push_back({banner.typeId, banner.firmId, banner.jpeg});
    std::stable_sort(items.begin(), items.end(),
                     [](const ContentItem& a, const ContentItem& b) { return a.typeId < b.typeId; });
    items.push_back({scales.stepScale, 0, number(scales.lensStep)});
    return items;
}
