#include "ExportFirms.h"

#include "MapModel.h"
#include "Query.h"

namespace {

QString text(const TQuery& query, const char* field) { return query.FieldByName(QString::fromLatin1(field)).AsString(); }

QStringList categoriesOf(TQuery& folds, int firmId)
{
    folds.Close();
    folds.ParamByName(QStringLiteral("FirmID")).setAsInteger(firmId);
    QStringList names;
    for (folds.Open(); !folds.Eof(); folds.Next())
        names << text(folds, "Name");
    folds.Close();
    return names;
}

std::vector<ExportAddress> addressesOf(TQuery& addresses, int firmId, const MapModel& map)
{
    addresses.Close();
    addresses.ParamByName(QStringLiteral("FirmID")).setAsInteger(firmId);
    std::vector<ExportAddress> result;
    for (addresses.Open(); !addresses.Eof(); addresses.Next()) {
        ExportAddress address;
        address.objectId = addresses.FieldByName(QStringLiteral("Obj_ID")).AsInteger();
        address.office = text(addresses, "Office");
        address.phones = text(addresses, "Phones");
        address.bus = text(addresses, "Bus");
        address.minibus = text(addresses, "MiniBus");
        const int position = map.FindObjectID(address.objectId);
        if (position >= 0) {
            const TPMXMapObjectMem& building = map.object(position);
            address.street = building.Street;
            address.house = building.House;
            address.where = MapPoint{building.X, building.Y};
        }
        result.push_back(std::move(address));
    }
    addresses.Close();
    return result;
}

} // namespace

std::vector<ExportFirm> ReadExportFirms(TDatabase& database, const std::vector<int>& firmIds, const MapModel& map)
{
    TQuery firms(database, QStringLiteral("qExportFirm"), QStringLiteral("SELECT * FROM FIRMS WHERE (TypeID=2) AND (ID=:ID)"));
    TQuery folds(database, QStringLiteral("qExportFolds"),
                 QStringLiteral("SELECT f.Name FROM FirmsFold l JOIN FIRMS f ON f.ID = l.FoldID "
                                "WHERE l.FirmID = :FirmID ORDER BY l.ID"));
    TQuery addresses(database, QStringLiteral("qExportAddresses"),
                     QStringLiteral("SELECT * FROM FirmsAdr WHERE (Firm_ID = :FirmID) AND NOT IsBanner ORDER BY ID"));
    std::vector<ExportFirm> result;
    for (const int id : firmIds) {
        firms.Close();
        firms.ParamByName(QStringLiteral("ID")).setAsInteger(id);
        firms.Open();
        if (firms.Eof())
            continue;
        ExportFirm firm;
        firm.id = id;
        firm.name = text(firms, "Name");
        firm.phones = text(firms, "Phones");
        firm.web = text(firms, "Web");
        firm.email = text(firms, "Email");
        firm.bus = text(firms, "Bus");
        firm.minibus = text(firms, "MiniBus");
        firm.note = text(firms, "Note");
        firm.logo = firms.FieldByName(QStringLiteral("Image")).AsBlob();
        firms.Close();
        firm.categories = categoriesOf(folds, id);
        firm.addresses = addressesOf(addresses, id, map);
        result.push_back(std::move(firm));
    }
    return result;
}

QString AddressLine(const QString& street, const QString& house)
{
    if (street.isEmpty() || house.isEmpty())
        return street + house;
    return street + QStringLiteral(", ") + house;
}
