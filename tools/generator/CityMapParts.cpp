#include "CityParts.h"

#include "Vocabulary.h"

#include <algorithm>
#include <cmath>

TPMXMapObjectMem& MapWriter::add(std::int32_t type, const std::vector<QPointF>& localPoints)
{
    TPMXMapObjectMem object;
    object.ID = static_cast<std::int32_t>(objects_.size()) + 1;
    object.ObjType = type;
    QPointF sum;
    for (const QPointF& point : localPoints) {
        object.Geometry.push_back(frame_.toMap(point));
        sum += point;
    }
    const QPointF anchor = IsAreaType(type) || localPoints.empty()
                               ? sum / std::max<double>(1.0, static_cast<double>(localPoints.size()))
                               : localPoints[localPoints.size() / 2];
    const MapPoint position = frame_.toMap(anchor);
    object.X = position.x;
    object.Y = position.y;
    objects_.push_back(std::move(object));
    return objects_.back();
}

TPMXMapObjectMem& MapWriter::addIcon(std::int32_t type, QPointF local, const QString& iconName, const QString& name)
{
    TPMXMapObjectMem& object = add(type, {});
    const MapPoint position = frame_.toMap(local);
    object.X = position.x;
    object.Y = position.y;
    object.Name = name;
    object.Zametka = TPMXMapZametka{position.x, position.y, QStringLiteral("ICONS.LIB"), iconName};
    return object;
}
