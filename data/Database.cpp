#include "Database.h"

#include "EditionSchema.h"
#include "EditionVfs.h"
#include "Query.h"

#include <sqlite3.h>

#include <QFileInfo>

#include <algorithm>
#include <string>

namespace {

QString editionText(const EditionFaultReport& fault, const QString& fileName)
{
    return QString::fromStdString(EditionFaultText(fault.fault, fileName.toStdString(), fault.detail));
}

// Changes the case of Latin and basic Cyrillic letters (U+0400..U+045F)
// straight in UTF-8, passing the punctuation of firm names (« », dashes, №)
// as it is: that is what a directory's names are made of. False for anything
// else, which then takes the general way.
template <bool Upper>
bool changeCaseFast(const unsigned char* text, int length, std::string& out)
{
    out.resize(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        const unsigned char c = text[i];
        if (c < 0x80) {
            const bool other = Upper ? (c >= 'a' && c <= 'z') : (c >= 'A' && c <= 'Z');
            out[i] = static_cast<char>(other ? c ^ 0x20 : c);
            continue;
        }
        if (c == 0xC2 && i + 1 < length && text[i + 1] != 0xB5) {
            // Latin-1 punctuation, « and » among them (µ alone has an upper case)
            out[i] = static_cast<char>(c);
            out[i + 1] = static_cast<char>(text[i + 1]);
            ++i;
            continue;
        }
        if (c == 0xE2 && i + 2 < length &&
            (text[i + 1] == 0x80 || text[i + 1] == 0x81 || (text[i + 1] == 0x84 && text[i + 2] == 0x96))) {
            // dashes, quotes, the ellipsis and "№": nothing to change
            out.replace(static_cast<std::size_t>(i), 3, reinterpret_cast<const char*>(text + i), 3);
            i += 2;
            continue;
        }
        if ((c != 0xD0 && c != 0xD1) || i + 1 >= length)
            return false;
        const unsigned code = ((c & 0x1Fu) << 6) | (text[i + 1] & 0x3Fu);
        unsigned changed = code;
        if (Upper) {
            if (code >= 0x430 && code <= 0x44F)
                changed = code - 0x20;
            else if (code >= 0x450 && code <= 0x45F)
                changed = code - 0x50;
        } else {
            if (code >= 0x410 && code <= 0x42F)
                changed = code + 0x20;
            else if (code >= 0x400 && code <= 0x40F)
                changed = code + 0x50;
        }
        out[i] = static_cast<char>(0xC0 | (changed >> 6));
        out[i + 1] = static_cast<char>(0x80 | (changed & 0x3F));
        ++i;
    }
    return true;
}

// UPPER and LOWER for all of Unicode: SQLite's own ones change Latin
// letters only. Searches call them once per firm row, so the usual letters
// are changed without leaving UTF-8.
template <bool Upper>
void changeCase(sqlite3_context* context, int, sqlite3_value** arguments)
{
    const auto* text = sqlite3_value_text(arguments[0]);
    if (!text) {
        sqlite3_result_null(context);
        return;
    }
    const int length = sqlite3_value_bytes(arguments[0]);
    thread_local std::string changed;
    if (!changeCaseFast<Upper>(text, length, changed)) {
        const QString unicode = QString::fromUtf8(reinterpret_cast<const char*>(text), length);
        changed = (Upper ? unicode.toUpper() : unicode.toLower()).toStdString();
    }
    sqlite3_result_text(context, changed.data(), static_cast<int>(changed.size()), SQLITE_TRANSIENT);
}

} // namespace

void RegisterUnicodeCaseFunctions(sqlite3* db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    sqlite3_create_function_v2(db, "UPPER", 1, flags, nullptr, changeCase<true>, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "LOWER", 1, flags, nullptr, changeCase<false>, nullptr, nullptr, nullptr);
}

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
    // The edition never changes under us, and every page read through the
    // edition's file layer is decrypted and checked: keep what was read once
    // (up to 256 MiB, taken only as pages are read), so that a search over the
    // whole firm table does not pay that again.
    sqlite3_exec(handle_, "PRAGMA cache_size = -262144", nullptr, nullptr, nullptr);
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
