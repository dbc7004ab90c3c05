#include "CityParts.h"

#include <cmath>

namespace {

QPointF unitVector(QPointF vector)
{
    const double length = std::hypot(vector.x(), vector.y());
    return length > 0 ? vector / length : QPointF();
}

const QString kStationSquare = QStringLiteral("Привокзальная площадь");

} // namespace

StationSite FindStationSite(const CityFrame& frame)
{
    const std::vector<QPointF>& railway = frame.railway();
    std::size_t nearest = 1;
    double best = 1e18;
    for (std::size_t k = 1; k + 1 < railway.size(); ++k) {
        const QPointF offset = railway[k] - frame.centre();
        const double distance = std::hypot(offset.x(), offset.y());
        if (distance < best) {
            best = distance;
            nearest = k;
        }
    }
    StationSite site;
    site.track = railway[nearest];
    site.along = unitVector(railway[nearest + 1] - railway[nearest - 1]);
    QPointF across(-site.along.y(), site.along.x());
    if (QPointF::dotProduct(across, frame.centre() - site.track) < 0)
        across = -across;
    site.toCity = across;
    return site;
}

void AddRailwayAndStation(FeatureContext& context, const StationSite& site)
{
    TPMXMapObjectMem& railway = context.writer.add(otRailway, context.writer.frame().railway());
    railway.Name = QStringLiteral("Железная дорога");

    const QPointF front = site.building() - site.along * 45 - site.toCity * 11;
    const std::vector<QPointF> corners{front, front + site.along * 90, front + site.along * 90 + site.toCity * 22,
                                       front + site.toCity * 22};
    const int streetIndex = static_cast<int>(context.city.streets.size());
    TPMXMapObjectMem& station = context.writer.add(otBuilding, corners);
    station.Name = QStringLiteral("Железнодорожный вокзал");
    station.HasAddress = true;
    station.Street = kStationSquare;
    station.House = QStringLiteral("1");
    station.Floors = 3;
    const int district = context.districts.districtAt(site.building());
    context.city.addressed.push_back({station.ID, streetIndex, district, station.Floors, true});

    const QPointF squareLine = site.building() + site.toCity * 45;
    TPMXMapObjectMem& square =
        context.writer.add(otRoad, {squareLine - site.along * 130, squareLine + site.along * 130});
    square.Street = kStationSquare;
    square.StyleCode = 1;
    context.writer.addIcon(otStop, squareLine + site.along * 30 - site.toCity * 10, QStringLiteral("STOP.BMP"),
                           QStringLiteral("ост. «Вокзал»"));

    CityStreet street;
    street.name = kStationSquare;
    street.main = true;
    context.city.streets.push_back(street);
}
