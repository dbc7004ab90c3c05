#include "ContentBlob.h"

#include "DataErrors.h"
#include "Database.h"

#include <sqlite3.h>

#include <memory>

namespace {

struct BlobPlace {
    sqlite3_int64 rowid = 0;
    bool null = true;
};

[[noreturn]] void throwReadFailure(const TDatabase& database, int rc)
{
    throw EDatabaseError(database.errorText(rc));
}

// length() reads the blob's size from the row's header, not the blob.
std::optional<BlobPlace> findRow(TDatabase& database, int typeId)
{
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(database.handle(),
                                "SELECT rowid, length(Data) FROM Content WHERE TypeID = ?1 ORDER BY rowid LIMIT 1",
                                -1, &raw, nullptr);
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(raw, sqlite3_finalize);
    if (rc != SQLITE_OK)
        throwReadFailure(database, rc);
    sqlite3_bind_int(raw, 1, typeId);
    rc = sqlite3_step(raw);
    if (rc == SQLITE_DONE)
        return std::nullopt;
    if (rc != SQLITE_ROW)
        throwReadFailure(database, rc);
    return BlobPlace{sqlite3_column_int64(raw, 0), sqlite3_column_type(raw, 1) == SQLITE_NULL};
}

} // namespace

std::optional<QByteArray> ContentBlob(TDatabase& database, int typeId)
{
    if (!database.Connected())
        throw EDatabaseError(QStringLiteral("Content: нет соединения с базой данных."));
    const std::optional<BlobPlace> place = findRow(database, typeId);
    if (!place || place->null)
        return std::nullopt;
    sqlite3_blob* raw = nullptr;
    int rc = sqlite3_blob_open(database.handle(), "main", "Content", "Data", place->rowid, 0, &raw);
    const std::unique_ptr<sqlite3_blob, int (*)(sqlite3_blob*)> blob(raw, sqlite3_blob_close);
    if (rc != SQLITE_OK)
        throwReadFailure(database, rc);
    QByteArray bytes(sqlite3_blob_bytes(raw), Qt::Uninitialized);
    if ((rc = sqlite3_blob_read(raw, bytes.data(), static_cast<int>(bytes.size()), 0)) != SQLITE_OK)
        throwReadFailure(database, rc);
    return bytes;
}
