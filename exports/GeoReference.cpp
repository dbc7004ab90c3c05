#include "GeoReference.h"

#include "Query.h"

#include <QStringList>

#include <cmath>
#include <numbers>

namespace {

// The mean Earth radius the importer projects with.
constexpr double kEarthRadius = 6371008.8;

bool onGlobe(GeoCoordinate point)
{
    return std::isfinite(point.latitude) && std::isfinite(point.longitude) && std::abs(point.latitude) < 89 &&
           std::abs(point.longitude) <= 180;
}

} // namespace

GeoReference::GeoReference(GeoCoordinate centre, MapPoint centreOnMap)
    : centre_(centre), centreOnMap_(centreOnMap), metresPerDegreeLatitude_(kEarthRadius * std::numbers::pi / 180),
      metresPerDegreeLongitude_(metresPerDegreeLatitude_ * std::cos(centre.latitude * std::numbers::pi / 180))
{
}

GeoCoordinate GeoReference::toGeo(MapPoint point) const
{
    return {centre_.latitude + (point.y - centreOnMap_.y) / metresPerDegreeLatitude_,
            centre_.longitude + (point.x - centreOnMap_.x) / metresPerDegreeLongitude_};
}

QByteArray GeoReference::toData() const
{
    return QStringLiteral("%1 %2 %3 %4")
        .arg(DegreesText(centre_.latitude), DegreesText(centre_.longitude))
        .arg(static_cast<double>(centreOnMap_.x), 0, 'f', 3)
        .arg(static_cast<double>(centreOnMap_.y), 0, 'f', 3)
        .toLatin1();
}

std::optional<GeoReference> GeoReference::fromData(const QByteArray& data)
{
    const QStringList parts = QString::fromLatin1(data).simplified().split(QLatin1Char(' '));
    if (parts.size() != 4)
        return std::nullopt;
    double numbers[4];
    for (int index = 0; index < 4; ++index) {
        bool ok = false;
        numbers[index] = parts[index].toDouble(&ok);
        if (!ok || !std::isfinite(numbers[index]))
            return std::nullopt;
    }
    const GeoCoordinate centre{numbers[0], numbers[1]};
    if (!onGlobe(centre))
        return std::nullopt;
    return GeoReference(centre, {static_cast<float>(numbers[2]), static_cast<float>(numbers[3])});
}

std::optional<GeoReference> ReadGeoReference(TQuery& content)
{
    content.Open();
    if (!content.Locate(QStringLiteral("TypeID"), kGeoReferenceContent))
        return std::nullopt;
    return GeoReference::fromData(content.FieldByName(QStringLiteral("Data")).AsBlob());
}

QString DegreesText(double degrees) { return QString::number(degrees, 'f', 7); }
