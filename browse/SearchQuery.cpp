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

// SQLite's LIKE refuses longer patterns.
constexpr qsizetype kLikePatternBytes = 50000;

QString trimmedText(const QString& text) {
    return QString::fromStdString(Trim(text.toStdString()));
}

// Text that LIKE would not match as it is: its wildcards "%" and "_", a NUL
// (which no SQL literal can hold) or more than a pattern may be.
bool needsLiteralMatch(const QString& trimmed) {
    return trimmed.contains('%') || trimmed.contains('_') || trimmed.contains(QChar(0)) ||
           trimmed.toUtf8().size() + 2 > kLikePatternBytes;
}

// The text as an SQL expression: quoted literals, joined by char(0) where it has a NUL.
QString textExpression(const QString& text) {
    QStringList pieces;
    for (QString piece : text.split(QChar(0)))
        pieces << "'" + piece.replace("'", "''") + "'";
    return pieces.join(" || char(0) || ");
}

// `column` contains the criterion: "column LIKE '%text%'", with UPPER on both
// sides when `upper`, as the search writes it; text that LIKE would not take
// literally is found by instr instead, upper case on both sides as LIKE
// itself ignores the case of Latin letters.
QString containsText(const QString& column, const QString& text, bool upper) {
    const QString trimmed = trimmedText(text);
    if (needsLiteralMatch(trimmed))
        return "instr(UPPER(" + column + "), UPPER(" + textExpression(trimmed) + ")) > 0";
    const QString pattern = QuotedLike(text);
    return upper ? "UPPER(" + column + ") LIKE UPPER(" + pattern + ")" : column + " LIKE " + pattern;
}

QString nameCondition(const QString& text) {
    return " AND (" + containsText("F.Name", text, true) + ")";
}

QString phoneCondition(const QString& text) {
    return " AND ((" + containsText("F.Phones", text, false) +
           ") OR F.ID IN (SELECT Firm_ID FROM FirmsAdr WHERE " + containsText("Phones", text, false) + "))";
}

QString webCondition(const QString& text) {
    return " AND (" + containsText("F.Web", text, true) + ")";
}

QString emailCondition(const QString& text) {
    return " AND (" + containsText("F.Email", text, true) + ")";
}

// No blank in front: the fragment follows the previous one's closing brackets.
QString buildingsCondition(const QString& objectIds) {
    return "AND (F.ID IN (SELECT Firm_ID FROM FirmsAdr WHERE Obj_ID IN " + objectIds + "))";
}

QString postIndexCondition(const QString& text) {
    return " AND (FA.Obj_ID IN (SELECT PIO.ObjID FROM PostIdxObj PIO WHERE PIO.PostIdxID IN (SELECT PI.ID "
           "FROM "
           "PostIdx PI WHERE " +
           containsText("PI.PostIndex", text, false) + "))) ";
}

void append(QString& conditions, const std::optional<QString>& text, QString (*condition)(const QString&)) {
    if (text)
        conditions += condition(*text);
}

} // namespace

QString QuotedLike(const QString& text) {
    QString pattern = "%" + trimmedText(text) + "%";
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
        conditions.prepend(postIndexCondition(*criteria.PostIndex));
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
