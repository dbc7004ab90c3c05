#include "Directions.h"

#include <array>
#include <cmath>
#include <numbers>

namespace {

// A street of a route: consecutive legs with one name.
struct Stretch {
    std::uint32_t street = 0;
    double length = 0;
    std::vector<MapPoint> shape;
};

// A piece of another street shorter than this is a jog across a junction,
// not worth a sentence: it stays in the street before it.
constexpr double kShortestStretch = 5;

std::vector<Stretch> stretchesOf(const Route& route)
{
    std::vector<Stretch> stretches;
    for (const RouteLeg& leg : route.legs) {
        const bool jog = !stretches.empty() && leg.length < kShortestStretch;
        if (stretches.empty() || (stretches.back().street != leg.street && !jog))
            stretches.push_back({leg.street, 0, {}});
        Stretch& stretch = stretches.back();
        stretch.length += leg.length;
        stretch.shape.insert(stretch.shape.end(), leg.shape.begin(), leg.shape.end());
    }
    return stretches;
}


// The point of a line some way back from its end (or on from its start), so
// a turn has the direction of the street and not of a jog at the junction.
template <typename Points>
MapPoint awayFrom(const Points& points, MapPoint end)
{
    MapPoint found = end;
    for (const MapPoint& point : points) {
        found = point;
        if (straightDistance(point, end) >= kShortestStretch)
            break;
    }
    return found;
}
MapPoint before(const std::vector<MapPoint>& line)
{
    return awayFrom(std::vector<MapPoint>(line.rbegin(), line.rend()), line.back());
}
MapPoint after(const std::vector<MapPoint>& line) { return awayFrom(line, line.front()); }

struct Ending {
    const char* nominative;
    const char* along;
    const char* onto;
};

// Street words and the adjective endings before them, in the three forms.
constexpr std::array<Ending, 6> kStreetWords = {{{"улица", "улице", "улицу"},
                                                 {"проспект", "проспекту", "проспект"},
                                                 {"переулок", "переулку", "переулок"},
                                                 {"проезд", "проезду", "проезд"},
                                                 {"бульвар", "бульвару", "бульвар"},
                                                 {"шоссе", "шоссе", "шоссе"}}};
constexpr std::array<Ending, 11> kAdjectiveEndings = {{{"кий", "кому", "кий"},
                                                      {"гий", "гому", "гий"},
                                                      {"хий", "хому", "хий"},
                                                      {"ая", "ой", "ую"},
                                                      {"яя", "ей", "юю"},
                                                      {"ый", "ому", "ый"},
                                                      {"ий", "ему", "ий"},
                                                      {"ой", "ому", "ой"},
                                                      {"ое", "ому", "ое"},
                                                      {"ее", "ему", "ее"},
                                                      {"ья", "ьей", "ью"}}};

constexpr std::array<Ending, 3> kOrdinalEndings = {{{"-я", "-й", "-ю"}, {"-й", "-му", "-й"}, {"-е", "-му", "-е"}}};

QString inflected(const QString& name, bool along)
{
    QStringList words = name.split(QLatin1Char(' '));
    for (const Ending& word : kStreetWords) {
        const QString nominative = QString::fromUtf8(word.nominative);
        const qsizetype at = words.indexOf(nominative);
        if (at < 0)
            continue;
        words[at] = QString::fromUtf8(along ? word.along : word.onto);
        // "2-я Зелёная улица": the ordinal and the adjective before the street
        // word agree with it.
        for (qsizetype i = 0; i < at; ++i)
            for (const Ending& ordinal : kOrdinalEndings)
                if (words[i].size() > 2 && words[i][0].isDigit() && words[i].endsWith(QString::fromUtf8(ordinal.nominative))) {
                    words[i].chop(QString::fromUtf8(ordinal.nominative).size());
                    words[i] += QString::fromUtf8(along ? ordinal.along : ordinal.onto);
                    break;
                }
        if (at > 0)
            for (const Ending& ending : kAdjectiveEndings)
                if (words[at - 1].endsWith(QString::fromUtf8(ending.nominative))) {
                    words[at - 1].chop(QString::fromUtf8(ending.nominative).size());
                    words[at - 1] += QString::fromUtf8(along ? ending.along : ending.onto);
                    break;
                }
        return words.join(QLatin1Char(' '));
    }
    return name;
}

QString turnText(Turn turn)
{
    switch (turn) {
    case Turn::Left:
        return QStringLiteral("поверните налево");
    case Turn::Right:
        return QStringLiteral("поверните направо");
    case Turn::Back:
        return QStringLiteral("развернитесь");
    case Turn::Straight:
        break;
    }
    return QStringLiteral("продолжайте прямо");
}

QString streetAlong(const StreetGraph& graph, std::uint32_t street)
{
    return street == 0 ? QStringLiteral("по дороге без названия") : QStringLiteral("по ") + alongStreet(graph.streets[street]);
}
QString streetOnto(const StreetGraph& graph, std::uint32_t street)
{
    return street == 0 ? QStringLiteral("на дорогу без названия") : QStringLiteral("на ") + ontoStreet(graph.streets[street]);
}

} // namespace

Turn turnBetween(MapPoint a, MapPoint b, MapPoint c)
{
    const double heading = std::atan2(double(b.y) - a.y, double(b.x) - a.x);
    const double next = std::atan2(double(c.y) - b.y, double(c.x) - b.x);
    double change = (next - heading) * 180 / std::numbers::pi;
    while (change > 180)
        change -= 360;
    while (change <= -180)
        change += 360;
    // Map y runs north, so a positive change of heading turns left.
    if (std::abs(change) < 30)
        return Turn::Straight;
    if (std::abs(change) > 160)
        return Turn::Back;
    return change > 0 ? Turn::Left : Turn::Right;
}

QString alongStreet(const QString& name) { return inflected(name, true); }
QString ontoStreet(const QString& name) { return inflected(name, false); }

QString lengthText(double metres)
{
    if (metres < 1000)
        return QStringLiteral("%1 м").arg(std::lround(metres / 10) * 10);
    return QStringLiteral("%1 км").arg(QString::number(metres / 1000, 'f', 1).replace(QLatin1Char('.'), QLatin1Char(',')));
}

QString durationText(double seconds)
{
    const long minutes = std::max(1L, std::lround(seconds / 60));
    if (minutes < 60)
        return QStringLiteral("%1 мин").arg(minutes);
    return QStringLiteral("%1 ч %2 мин").arg(minutes / 60).arg(minutes % 60);
}

QStringList directions(const Route& route, const StreetGraph& graph, TravelMode mode)
{
    const std::vector<Stretch> stretches = stretchesOf(route);
    const QString go = mode == TravelMode::Foot ? QStringLiteral("Идите") : QStringLiteral("Поезжайте");
    QStringList lines;
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        const Stretch& stretch = stretches[i];
        QString line;
        if (i == 0)
            line = QStringLiteral("%1 %2 %3").arg(go, lengthText(stretch.length), streetAlong(graph, stretch.street));
        else {
            const Stretch& previous = stretches[i - 1];
            const Turn turn = turnBetween(before(previous.shape), previous.shape.back(), after(stretch.shape));
            line = QStringLiteral("%1 %2, %3 %4")
                       .arg(turnText(turn), streetOnto(graph, stretch.street), go.toLower(), lengthText(stretch.length));
        }
        lines.push_back(line);
    }
    return lines;
}

QString directionsText(const Route& route, const StreetGraph& graph, TravelMode mode)
{
    const QStringList lines = directions(route, graph, mode);
    if (lines.isEmpty())
        return QStringLiteral("Вы уже на месте.");
    return lines.join(QStringLiteral(", ")) + QLatin1Char('.');
}
