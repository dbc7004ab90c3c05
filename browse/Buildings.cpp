#include "Buildings.h"

#include "FirmMarkup.h"
#include "MapEngine.h"
#include "Query.h"
#include "Vdlconsts.h"

#include <QRegularExpression>

QString HouseLine(const TPMXMapObjectMem& object) {
    // Put together in one buffer: a house search of a large city writes
    // tens of thousands of these lines.
    static const QString head = QStringLiteral("<IMG src=\"") + QString::fromUtf8(LoadPics[8]) +
                                QStringLiteral("\" align=\"left\"><A href=\"A");
    const QString street = EscapeMarkup(object.Street);
    const QString house = EscapeMarkup(object.House);
    QString line;
    line.reserve(head.size() + street.size() + house.size() + 32);
    line.append(head)
        .append(QString::number(object.ID))
        .append(u"\">")
        .append(street)
        .append(u", ")
        .append(house)
        .append(u"</A>");
    return line;
}

std::optional<std::int32_t> HouseLineObject(const QString& line) {
    static const QRegularExpression anchor(R"re(<A href="A(-?\d+)">)re",
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = anchor.match(line);
    bool ok = false;
    const int id = match.hasMatch() ? match.captured(1).toInt(&ok) : 0;
    if (!ok)
        return std::nullopt;
    return id;
}

QStringList SearchHouses(const MapEngine& map, AddressIndex& index, const AddressCriterion& criterion) {
    if (!criterion.Given())
        return {};
    QStringList lines;
    for (const int position : index.Find(criterion))
        lines << HouseLine(map.model().object(position));
    if (lines.isEmpty())
        lines << NoHousesFoundMessage();
    return lines;
}

QString ObjectTypeName(std::int32_t objType) {
    if (objType >= 0 && objType < static_cast<std::int32_t>(TypesObj.size()))
        return TypesObj[objType];
    if (objType == otLabel)
        return "метка категории";
    return QString("неизвестный тип %1").arg(objType);
}

namespace {

QString postIndexOf(std::int32_t objectId, TQuery& qPostIndex, TQuery& qRefPostIdx) {
    qPostIndex.Close();
    qPostIndex.ParamByName("ObjID").setAsInteger(objectId);
    qPostIndex.Open();
    QString postIndex;
    if (!qPostIndex.Eof()) {
        const int postIndexId = qPostIndex.FieldByName("PostIdxID").AsInteger();
        postIndex = qRefPostIdx.Lookup("ID", postIndexId, "PostIndex").toString();
    }
    qPostIndex.Close();
    return postIndex;
}

} // namespace

QStringList BuildingInfoLines(const TPMXMapObjectMem& object, TQuery& qPostIndex, TQuery& qRefPostIdx) {
    QStringList lines{"Объект:" + ObjectTypeName(object.ObjType),
                      "Адрес:" + EscapeMarkup(object.Street) + ", " + EscapeMarkup(object.House)};
    const QString postIndex = postIndexOf(object.ID, qPostIndex, qRefPostIdx);
    if (!postIndex.isEmpty())
        lines << "Индекс: " + EscapeMarkup(postIndex);
    return lines;
}

QString BuildingRouteLine() {
    return QStringLiteral("<A href=\"RouteFrom\">Маршрут отсюда</A>&nbsp;&nbsp;&nbsp;"
                          "<A href=\"RouteTo\">Маршрут сюда</A>");
}

RouteAnchor ParseRouteAnchor(const QString& href) {
    if (href == QLatin1String("RouteFrom"))
        return RouteAnchor::From;
    if (href == QLatin1String("RouteTo"))
        return RouteAnchor::To;
    return RouteAnchor::None;
}

void OpenFirmsOfBuilding(TQuery& qFirmsBld, std::int32_t objectId) {
    qFirmsBld.Close();
    qFirmsBld.ParamByName("Obj_ID").setAsInteger(objectId);
    qFirmsBld.Open();
}
