#include "PlaceFiles.h"

#include "ExportFirms.h"
#include "MapModel.h"

#include <QXmlStreamWriter>

PlacedOnEarth PlaceOnEarth(const std::vector<MapPlace>& places, const MapModel& map, const GeoReference& reference)
{
    PlacedOnEarth result;
    for (const MapPlace& place : places) {
        const int position = map.FindObjectID(place.objectId);
        if (position < 0) {
            result.notOnMap << place.name;
            continue;
        }
        const TPMXMapObjectMem& building = map.object(position);
        result.places.push_back(
            {place.name, AddressLine(building.Street, building.House), reference.toGeo({building.X, building.Y})});
    }
    return result;
}

QByteArray PlacesGpx(const std::vector<GeoPlace>& places)
{
    QByteArray file;
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
    xml.writeStartElement(QStringLiteral("gpx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("Вариндел"));
    for (const GeoPlace& place : places) {
        xml.writeStartElement(QStringLiteral("wpt"));
        xml.writeAttribute(QStringLiteral("lat"), DegreesText(place.where.latitude));
        xml.writeAttribute(QStringLiteral("lon"), DegreesText(place.where.longitude));
        xml.writeTextElement(QStringLiteral("name"), place.name);
        if (!place.description.isEmpty())
            xml.writeTextElement(QStringLiteral("desc"), place.description);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return file;
}

QByteArray PlacesKml(const std::vector<GeoPlace>& places, const QString& documentName)
{
    QByteArray file;
    QXmlStreamWriter xml(&file);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.opengis.net/kml/2.2"));
    xml.writeStartElement(QStringLiteral("kml"));
    xml.writeStartElement(QStringLiteral("Document"));
    xml.writeTextElement(QStringLiteral("name"), documentName);
    for (const GeoPlace& place : places) {
        xml.writeStartElement(QStringLiteral("Placemark"));
        xml.writeTextElement(QStringLiteral("name"), place.name);
        if (!place.description.isEmpty())
            xml.writeTextElement(QStringLiteral("description"), place.description);
        xml.writeStartElement(QStringLiteral("Point"));
        // KML puts the longitude first.
        xml.writeTextElement(QStringLiteral("coordinates"),
                             DegreesText(place.where.longitude) + QLatin1Char(',') + DegreesText(place.where.latitude));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return file;
}
