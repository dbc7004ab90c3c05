#include "Database.h"

#include "CaseFunctions.h"
#include "EditionSchema.h"
#include "EditionVfs.h"
#include "LikeFunction.h"
#include "Query.h"

#include <sqlite3.h>

#include <QFileInfo>

#include <algorithm>

namespace {

QString editionText(const EditionFaultReport& fault, const QString& fileName)
{
    return QString::fromStdString(EditionFaultText(fault.fault, fileName.toStdString(), fault.detail));
}

} // namespace

TDatabase::~TDatabase()
{
    Close();
    for (TQuery* query : std::vector<TQuery*>(queries_))
        query->Database = nullptr;
}

Status TDatabase::Open()
{
    RegisterEditionVfs();
    SetEditionPassword(Password);
    Status opened = openWith(EditionUri(DatabaseFileName.toStdString()), kEditionVfsName);
    ClearEditionPassword();
    if (!opened)
        return opened;
    if (const QString missing = EditionSchemaFault(handle_, DatabaseFileName); !missing.isEmpty())
        return failOpen(missing);
    return opened;
}

Status TDatabase::OpenPlain()
{
    const QByteArray path = DatabaseFileName.toUtf8().toPercentEncoding("/");
    return openWith(("file:" + path + "?immutable=1").toStdString(), nullptr);
}

Status TDatabase::openWith(const std::string& uri, const char* vfs)
{
    Close();
    if (!QFileInfo::exists(DatabaseFileName))
        return failOpen(editionText({EditionFault::Missing, 0}, DatabaseFileName));
    const int rc = sqlite3_open_v2(uri.c_str(), &handle_, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, vfs);
    if (rc != SQLITE_OK) {
        const EditionFaultReport fault = vfs ? LastEditionOpenFault() : EditionFaultReport{};
        return failOpen(fault.ok() ? errorText(rc) : editionText(fault, DatabaseFileName));
    }
    sqlite3_extended_result_codes(handle_, 1);
    RegisterUnicodeCaseFunctions(handle_);
    RegisterLikeFunction(handle_);
    // The edition never changes under us, and every page read through the
    // edition's file layer is decrypted and checked: keep what was read lately
    // (up to 32 MiB, taken only as pages are read), so that the searches,
    // which walk the firm index of a few MiB, and a large category's firms do
    // not pay that again. More holds only pages read once, such as the map's.
    sqlite3_exec(handle_, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    // Reading the schema reads the first pages: a wrong or damaged file fails here.
    const int probe = sqlite3_exec(handle_, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (probe != SQLITE_OK)
        return failOpen(errorText(probe));
    return success();
}

Status TDatabase::failOpen(const QString& message)
{
    if (handle_)
        sqlite3_close(handle_);
    handle_ = nullptr;
    return Status::failure(message);
}

void TDatabase::Close()
{
    for (TQuery* query : queries_)
        query->Close();
    if (handle_)
        sqlite3_close(handle_);
    handle_ = nullptr;
}

QString TDatabase::errorText(int rc) const
{
    const int primary = rc & 0xff;
    const bool readFailure = primary == SQLITE_IOERR || primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
    const EditionFaultReport fault = readFailure ? EditionReadFault(handle_) : EditionFaultReport{};
    if (!fault.ok())
        return editionText(fault, DatabaseFileName);
    if (primary == SQLITE_NOTADB)
        return editionText({EditionFault::NotDatabase, 0}, DatabaseFileName);
    const char* message = handle_ ? sqlite3_errmsg(handle_) : sqlite3_errstr(rc);
    return QString::fromUtf8(message);
}

void TDatabase::attach(TQuery* query)
{
    queries_.push_back(query);
}

void TDatabase::detach(TQuery* query)
{
    queries_.erase(std::remove(queries_.begin(), queries_.end(), query), queries_.end());
}
