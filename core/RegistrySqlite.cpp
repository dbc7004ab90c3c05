#include "RegistrySqlite.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Two programs writing at once wait for each other this long before a call
// gives up; a registry write holds the lock for a few milliseconds only.
constexpr int kBusyTimeoutMilliseconds = 10000;

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
    throw RegistryStoreError(what + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

void CreateFolder(const std::filesystem::path& folder, mode_t mode) {
    if (folder.empty() || std::filesystem::is_directory(folder))
        return;
    CreateFolder(folder.parent_path(), mode);
    if (::mkdir(folder.c_str(), mode) != 0 && errno != EEXIST)
        throw RegistryStoreError("cannot create the folder " + folder.string());
}

// SQLite would create the file readable by everybody; the per-user store
// holds private state, so the file is made here with the right mode first.
// The journal SQLite writes beside it takes over the same mode.
void CreateStoreFile(const std::string& file, bool privateToUser) {
    const std::filesystem::path path(file);
    CreateFolder(path.parent_path(), privateToUser ? 0700 : 0755);
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, privateToUser ? 0600 : 0644);
    if (descriptor < 0)
        throw RegistryStoreError("cannot create the registry store " + file);
    ::close(descriptor);
}

} // namespace

RegistryConnection::RegistryConnection(const std::string& file, Mode mode, bool privateToUser) {
    if (mode == Mode::CreateMissing)
        CreateStoreFile(file, privateToUser);
    // Even readers open the file for writing when they may: the next reader
    // is the one who rolls back what a killed writer left half done.
    if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw RegistryStoreError("cannot open the registry store " + file + ": " + message);
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMilliseconds);
    // A rollback journal (not WAL) lets users without write access read the
    // machine-wide store. EXTRA syncs the folder once the journal is removed,
    // so that a committed write survives a power loss as well as a crash.
    execute("PRAGMA synchronous = EXTRA");
}

RegistryConnection::~RegistryConnection() {
    sqlite3_close(db_);
}

void RegistryConnection::execute(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(db_, sql);
}

int RegistryConnection::changes() const {
    return sqlite3_changes(db_);
}

RegistryStatement::RegistryStatement(RegistryConnection& connection, const char* sql)
    : connection_(connection) {
    if (sqlite3_prepare_v2(connection_.handle(), sql, -1, &statement_, nullptr) != SQLITE_OK)
        Fail(connection_.handle(), sql);
}

RegistryStatement::~RegistryStatement() {
    sqlite3_finalize(statement_);
}

RegistryStatement& RegistryStatement::bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(statement_, index, value) != SQLITE_OK)
        Fail(connection_.handle(), "bind");
    return *this;
}

RegistryStatement& RegistryStatement::bindBytes(int index, const std::string& bytes) {
    // data() is never null, so an empty text binds as an empty blob, not NULL.
    if (sqlite3_bind_blob64(statement_, index, bytes.data(), bytes.size(), SQLITE_TRANSIENT) != SQLITE_OK)
        Fail(connection_.handle(), "bind");
    return *this;
}

bool RegistryStatement::step() {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    Fail(connection_.handle(), sqlite3_sql(statement_));
}

std::int64_t RegistryStatement::integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

std::string RegistryStatement::bytes(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(statement_, column));
    const int size = sqlite3_column_bytes(statement_, column);
    return data ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}
