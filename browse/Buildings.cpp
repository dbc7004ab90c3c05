#include "Buildings.h"

#include "MapEngine.h"
#include "Query.h"
#include "Vdlconsts.h"

QString HouseLine(const TPMXMapObjectMem& object) {
    return QString("<IMG src=\"%1\" align=\"left\"><A href=\"A%2\">%3, %4</A>")
        .arg(QString::fromUtf8(LoadPics[8]), QString::number(object.ID), object.Street, object.House);
}

QStringList SearchHouses(MapEngine& map, AddressIndex& index, const AddressCriterion& criterion) {
    QStringList lines;
    for (const int position : FindAddressedObjects(map, index, criterion))
        lines << HouseLine(map.model().object(position));
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
                      "Адрес:" + object.Street + ", " + object.House};
    const QString postIndex = postIndexOf(object.ID, qPostIndex, qRefPostIdx);
    if (!postIndex.isEmpty())
        lines << "Индекс: " + postIndex;
    return lines;
}

void OpenFirmsOfBuilding(TQuery& qFirmsBld, std::int32_t objectId) {
    qFirmsBld.Close();
    qFirmsBld.ParamByName("Obj_ID").setAsInteger(objectId);
    qFirmsBld.Open();
}
