#include "EditionDatabase.h"

#include "EditionSchema.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace {

// A database being written; every failure becomes the message of the first error.
class Writer {
public:
    explicit Writer(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK)
            fail();
    }
    ~Writer() { sqlite3_close(db_); }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    void execute(const QString& sql)
    {
        if (ok() && sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail();
    }

    void createSchema()
    {
        if (ok())
            error_ = CreateEditionSchema(db_);
    }

    // Runs the statement once per row; `bind` binds the row's values.
    template <typename Row, typename Bind>
    void insertAll(const char* sql, const std::vector<Row>& rows, Bind bind)
    {
        if (!ok())
            return;
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK)
            return fail();
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owner(statement, sqlite3_finalize);
        for (const Row& row : rows) {
            sqlite3_reset(statement);
            bind(statement, row);
            if (sqlite3_step(statement) != SQLITE_DONE)
                return fail();
        }
    }

    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }

private:
    void fail()
    {
        if (error_.isEmpty())
            error_ = QString::fromUtf8(db_ ? sqlite3_errmsg(db_) : "out of memory");
    }
    sqlite3* db_ = nullptr;
    QString error_;
};

void bindText(sqlite3_stmt* statement, int column, const QString& text, bool emptyIsNull)
{
    if (text.isNull() || (emptyIsNull && text.isEmpty())) {
        sqlite3_bind_null(statement, column);
        return;
    }
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(statement, column, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void bindBlob(sqlite3_stmt* statement, int column, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        sqlite3_bind_null(statement, column);
    else
        sqlite3_bind_blob(statement, column, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
}

void writeDirectory(Writer& writer, const Directory& directory)
{
    writer.insertAll("INSERT INTO FIRMS (ID, ParentID, TypeID, Name, ShowAlways, SelectedFont, Place) "
                     "VALUES (?, ?, 1, ?, 0, 0, 0)",
                     directory.categories, [](sqlite3_stmt* s, const CategoryNode& category) {
                         sqlite3_bind_int(s, 1, category.id);
                         sqlite3_bind_int(s, 2, category.parentId);
                         bindText(s, 3, category.name, false);
                     });
    writer.insertAll("INSERT INTO FIRMS (ID, ParentID, TypeID, Name, Image, ImageName, Phones, Email, Web, Bus, "
                     "MiniBus, Note, article, ShowAlways, SelectedFont, Place) "
                     "VALUES (?, 0, 2, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                     directory.firms, [](sqlite3_stmt* s, const FirmRecord& firm) {
                         sqlite3_bind_int(s, 1, firm.id);
                         bindText(s, 2, firm.name, false);
                         bindBlob(s, 3, firm.image);
                         bindText(s, 4, firm.image.isEmpty() ? QString() : firm.imageName, true);
                         bindText(s, 5, firm.phones, false);
                         bindText(s, 6, firm.email, true);
                         bindText(s, 7, firm.web, true);
                         bindText(s, 8, firm.bus, true);
                         bindText(s, 9, firm.minibus, true);
                         bindText(s, 10, firm.note, false);
                         bindBlob(s, 11, firm.article);
                         sqlite3_bind_int(s, 12, firm.showAlways ? 1 : 0);
                         sqlite3_bind_int(s, 13, firm.selectedFont ? 1 : 0);
                         sqlite3_bind_int(s, 14, firm.place);
                     });
    writer.insertAll("INSERT INTO FirmsAdr (ID, Obj_ID, Firm_ID, Office, Phones, Bus, MiniBus, IsBanner) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                     directory.addresses, [](sqlite3_stmt* s, const FirmAddress& address) {
                         sqlite3_bind_int(s, 1, address.id);
                         sqlite3_bind_int(s, 2, address.objectId);
                         sqlite3_bind_int(s, 3, address.firmId);
                         bindText(s, 4, address.office, false);
                         bindText(s, 5, address.phones, true);
                         bindText(s, 6, address.bus, true);
                         bindText(s, 7, address.minibus, true);
                         sqlite3_bind_int(s, 8, address.isBanner ? 1 : 0);
                     });
    writer.insertAll("INSERT INTO FirmsFold (FirmID, FoldID) VALUES (?, ?)", directory.links,
                     [](sqlite3_stmt* s, const FirmCategoryLink& link) {
                         sqlite3_bind_int(s, 1, link.firmId);
                         sqlite3_bind_int(s, 2, link.categoryId);
                     });
}

void writePostIndexes(Writer& writer, const City& city)
{
    std::vector<int> offices;
    for (qsizetype k = 0; k < city.postIndexes.size(); ++k)
        offices.push_back(static_cast<int>(k));
    writer.insertAll("INSERT INTO PostIdx (ID, PostIndex) VALUES (?, ?)", offices, [&city](sqlite3_stmt* s, int k) {
        sqlite3_bind_int(s, 1, k + 1);
        bindText(s, 2, city.postIndexes[k], false);
    });
    writer.insertAll("INSERT INTO PostIdxObj (ObjID, PostIdxID) VALUES (?, ?)", city.postLinks,
                     [](sqlite3_stmt* s, const PostLink& link) {
                         sqlite3_bind_int(s, 1, link.objectId);
                         sqlite3_bind_int(s, 2, link.postIndexId);
                     });
}

void writeContent(Writer& writer, const std::vector<ContentItem>& content)
{
    std::vector<std::pair<int, const ContentItem*>> rows;
    rows.reserve(content.size());
    for (const ContentItem& item : content)
        rows.emplace_back(static_cast<int>(rows.size()) + 1, &item);
    // The program finds an item by stepping through "select * from Content",
    // and every step reads the whole row: the small items come first, so that
    // finding one never reads the map's tens of megabytes on the way.
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return a.second->data.size() < b.second->data.size();
    });
    writer.insertAll("INSERT INTO Content (ID, TypeID, RefID, Data) VALUES (?, ?, ?, ?)", rows,
                     [](sqlite3_stmt* s, const std::pair<int, const ContentItem*>& row) {
                         sqlite3_bind_int(s, 1, row.first);
                         sqlite3_bind_int(s, 2, row.second->typeId);
                         sqlite3_bind_int(s, 3, row.second->refId);
                         bindBlob(s, 4, row.second->data);
                     });
}

} // namespace

Status WriteEditionDatabase(const QString& path, const EditionRows& rows)
{
    QFile::remove(path);
    {
        Writer writer(path);
        writer.execute(QStringLiteral("PRAGMA journal_mode=OFF"));
        writer.execute(QStringLiteral("PRAGMA synchronous=OFF"));
        writer.execute(QStringLiteral("BEGIN"));
        writer.createSchema();
        writeDirectory(writer, rows.directory);
        writePostIndexes(writer, rows.city);
        writeContent(writer, rows.content);
        // Statistics let the planner choose between the indexes for the
        // edition's real sizes: a category's firms are fetched by their IDs
        // and sorted, the whole list is read in order from its index.
        writer.execute(QStringLiteral("ANALYZE"));
        writer.execute(QStringLiteral("COMMIT"));
        if (!writer.ok())
            return Status::failure(QStringLiteral("Не удалось записать базу издания %1: %2").arg(path, writer.error()));
    }
    return success();
}
