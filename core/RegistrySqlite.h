// The few SQLite calls the registry store is made of. Every failure becomes a
// RegistryStoreError, which the store turns into a false result.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

class RegistryStoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One connection to a store file, open for the length of one registry call.
class RegistryConnection {
public:
    enum class Mode {
        OpenExisting,  // a missing file is an error; it is never created
        CreateMissing, // the file is created (with its folder) when missing
    };

    RegistryConnection(const std::string& file, Mode mode, bool privateToUser);
    ~RegistryConnection();
    RegistryConnection(const RegistryConnection&) = delete;
    RegistryConnection& operator=(const RegistryConnection&) = delete;

    void execute(const char* sql);
    int changes() const; // rows changed by the last statement
    sqlite3* handle() const { return db_; }

private:
    sqlite3* db_ = nullptr;
};

// One prepared statement; bind, then step through its rows.
class RegistryStatement {
public:
    RegistryStatement(RegistryConnection& connection, const char* sql);
    ~RegistryStatement();
    RegistryStatement(const RegistryStatement&) = delete;
    RegistryStatement& operator=(const RegistryStatement&) = delete;

    RegistryStatement& bind(int index, std::int64_t value);
    RegistryStatement& bindBytes(int index, const std::string& bytes);
    bool step(); // true while a row is available
    std::int64_t integer(int column) const;
    std::string bytes(int column) const;

private:
    RegistryConnection& connection_;
    sqlite3_stmt* statement_ = nullptr;
};
