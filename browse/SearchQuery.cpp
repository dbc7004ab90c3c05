#include "SearchQuery.h"

#include "MapEngine.h"
#include "Query.h"
#include "Vdlutils.h"

#include <QStringList>

namespace {

const QString kHead = "SELECT * FROM FIRMS F WHERE (F.TypeID=2)";
const QString kHeadWithAddresses =
    "SELECT * FROM FIRMS F INNER JOIN FirmsAdr FA ON F.ID = FA.Firm_ID WHERE (F.TypeID=2)";
const QString kOrder = " ORDER BY Place ASC, Name ASC";

QString nameCondition(const QString& q) {
    return " AND (UPPER(F.Name) LIKE UPPER(" + q + "))";
}

QString phoneCondition(const QString& q) {
    return " AND ((F.Phones LIKE " + q + ") OR F.ID IN (SELECT Firm_ID FROM FirmsAdr WHERE Phones LIKE " + q +
           "))";
}

QString webCondition(const QString& q) {
    return " AND (UPPER(F.Web) LIKE UPPER(" + q + "))";
}

QString emailCondition(const QString& q) {
    return " AND (UPPER(F.Email) LIKE UPPER(" + q + "))";
}

// No blank in front: the fragment follows the previous one's closing brackets.
QString buildingsCondition(const QString& objectIds) {
    return "AND (F.ID IN (SELECT Firm_ID FROM FirmsAdr WHERE Obj_ID IN " + objectIds + "))";
}

QString postIndexCondition(const QString& q) {
    return " AND (FA.Obj_ID IN (SELECT PIO.ObjID FROM PostIdxObj PIO WHERE PIO.PostIdxID IN (SELECT PI.ID "
           "FROM "
           "PostIdx PI WHERE PI.PostIndex LIKE " +
           q + "))) ";
}

void append(QString& conditions, const std::optional<QString>& text, QString (*condition)(const QString&)) {
    if (text)
        conditions += condition(QuotedLike(*text));
}

} // namespace

QString QuotedLike(const QString& text) {
    QString pattern = "%" + QString::fromStdString(Trim(text.toStdString())) + "%";
    pattern.replace("'", "''");
    return "'" + pattern + "'";
}

// SQLite reads "()" as an empty list, so a street without buildings finds
// no firm rather than dropping out of the statement.
QString ObjectIdList(const std::vector<std::int32_t>& ids) {
    QStringList numbers;
    for (const std::int32_t id : ids)
        numbers << QString::number(id);
    return "(" + numbers.join(',') + ")";
}

QString FirmsFindConditions(const SearchCriteria& criteria, const std::optional<QString>& objectIds) {
    QString conditions;
    append(conditions, criteria.Name, nameCondition);
    append(conditions, criteria.Phone, phoneCondition);
    append(conditions, criteria.Web, webCondition);
    append(conditions, criteria.Email, emailCondition);
    if (objectIds)
        conditions += buildingsCondition(*objectIds);
    if (criteria.PostIndex)
        conditions.prepend(postIndexCondition(QuotedLike(*criteria.PostIndex)));
    return conditions;
}

std::optional<QString> FirmsFindSql(const SearchCriteria& criteria, const std::optional<QString>& objectIds) {
    const QString conditions = FirmsFindConditions(criteria, objectIds);
    if (conditions.isEmpty())
        return std::nullopt;
    return (criteria.PostIndex ? kHeadWithAddresses : kHead) + conditions + kOrder;
}

std::optional<QString> AddressObjectIds(const MapEngine& map, AddressIndex& index,
                                        const AddressCriterion& criterion) {
    if (!criterion.Given())
        return std::nullopt;
    std::vector<std::int32_t> ids;
    for (const int position : index.Find(criterion))
        ids.push_back(map.model().object(position).ID);
    return ObjectIdList(ids);
}

bool RunFirmsFind(TQuery& qFirmsFind, const SearchCriteria& criteria, const MapEngine& map,
                  AddressIndex& index) {
    const std::optional<QString> sql = FirmsFindSql(criteria, AddressObjectIds(map, index, criteria.Address));
    if (!sql)
        return false;
    qFirmsFind.Close();
    qFirmsFind.setSQL(*sql);
    qFirmsFind.Open();
    return true;
}
