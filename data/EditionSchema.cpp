#include "EditionSchema.h"

#include "CaseFunctions.h"

#include <sqlite3.h>

#include <utility>
#include <vector>

namespace {

// The CREATE statements, tables first, then their indexes.
QStringList schemaStatements()
{
    // Long statements are written across lines; each one ends with a comma.
    // NOLINTBEGIN(bugprone-suspicious-missing-comma)
    return {
        "CREATE TABLE FIRMS (ID INTEGER PRIMARY KEY, ParentID INTEGER, TypeID INTEGER, Name VARCHAR(200), "
        "Image BLOB, ImageName VARCHAR(4), Phones VARCHAR(80), Email VARCHAR(100), Web VARCHAR(150), "
        "Bus VARCHAR(20), MiniBus VARCHAR(20), Note TEXT, article BLOB, ShowAlways BOOLEAN, "
        "SelectedFont BOOLEAN, Place INTEGER)",
        "CREATE TABLE FirmsAdr (ID INTEGER PRIMARY KEY, Obj_ID INTEGER, Firm_ID INTEGER, Office VARCHAR(4), "
        "Phones VARCHAR(80), Bus VARCHAR(20), MiniBus VARCHAR(20), IsBanner BOOLEAN)",
        "CREATE TABLE FirmsFold (ID INTEGER PRIMARY KEY AUTOINCREMENT, FirmID INTEGER, FoldID INTEGER)",
        "CREATE TABLE Content (ID INTEGER, TypeID INTEGER, RefID INTEGER, Data BLOB)",
        "CREATE TABLE PostIdx (ID INTEGER PRIMARY KEY, PostIndex VARCHAR(6))",
        "CREATE TABLE PostIdxObj (ID INTEGER PRIMARY KEY AUTOINCREMENT, ObjID INTEGER, PostIdxID INTEGER)",
        "CREATE INDEX FirmsByType ON FIRMS (TypeID, ParentID)",
        // The firm list, the search and a category's firms all read firms of
        // one type "ORDER BY Place ASC, Name ASC": this index hands them over
        // in that order, and lets a condition on the name be tested before
        // the whole row (logo and article included) is read, instead of
        // sorting whole rows of the firm table. The name search compares
        // "UPPER(F.Name)", which SQLite then reads from here instead of
        // changing the case of every firm's name again.
        "CREATE INDEX FirmsByPlace ON FIRMS (TypeID, Place, Name, UPPER(Name))",
        // The firms shown above every list ("ShowAlways = TRUE"), a handful,
        // found in that order here: through the index above each firm row
        // would be read up to its flag, which lies past the logo and the
        // article, at every start. Partial, so that no other statement of
        // firms of one type takes it instead of the index above.
        "CREATE INDEX FirmsShownAlways ON FIRMS (ShowAlways, Place, Name) WHERE TypeID = 2",
        "CREATE INDEX FirmsAdrByFirm ON FirmsAdr (Firm_ID)",
        "CREATE INDEX FirmsAdrByObject ON FirmsAdr (Obj_ID)",
        "CREATE INDEX FirmsFoldByFolder ON FirmsFold (FoldID)",
        "CREATE INDEX FirmsFoldByFirm ON FirmsFold (FirmID)",
        "CREATE INDEX PostIdxObjByObject ON PostIdxObj (ObjID)",
    };
    // NOLINTEND(bugprone-suspicious-missing-comma)
}

} // namespace

QString CreateEditionSchema(sqlite3* db)
{
    RegisterUnicodeCaseFunctions(db);
    for (const QString& statement : schemaStatements())
        if (sqlite3_exec(db, statement.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            return QString::fromUtf8(sqlite3_errmsg(db));
    return {};
}

namespace {

using TableColumns = std::vector<std::pair<QString, QStringList>>;

QStringList textColumn(sqlite3* db, const char* sql, const QString& argument = {})
{
    QStringList values;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
        return values;
    const QByteArray bound = argument.toUtf8();
    if (!argument.isEmpty())
        sqlite3_bind_text(statement, 1, bound.constData(), static_cast<int>(bound.size()), SQLITE_STATIC);
    while (sqlite3_step(statement) == SQLITE_ROW)
        values << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    return values;
}

QStringList columnsOf(sqlite3* db, const QString& table)
{
    return textColumn(db, "SELECT name FROM pragma_table_info(?1)", table);
}

// The tables and columns as the statements create them, read back from a
// database in memory, so that the statements stay the only description.
const TableColumns& editionTables()
{
    static const TableColumns tables = [] {
        TableColumns result;
        sqlite3* memory = nullptr;
        if (sqlite3_open(":memory:", &memory) == SQLITE_OK) {
            CreateEditionSchema(memory);
            for (const QString& table :
                 textColumn(memory, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                                    "'sqlite%' ORDER BY rowid"))
                result.emplace_back(table, columnsOf(memory, table));
        }
        sqlite3_close(memory);
        return result;
    }();
    return tables;
}

} // namespace

QString EditionSchemaFault(sqlite3* db, const QString& fileName)
{
    const QString file = "«" + fileName + "»";
    for (const auto& [table, columns] : editionTables()) {
        const QStringList present = columnsOf(db, table);
        if (present.isEmpty())
            return QString("В файле издания %1 нет таблицы %2.").arg(file, table);
        for (const QString& column : columns)
            if (!present.contains(column, Qt::CaseInsensitive))
                return QString("В файле издания %1 в таблице %2 нет столбца %3.").arg(file, table, column);
    }
    return {};
}
