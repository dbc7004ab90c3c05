// The connection to an edition: one SQLite handle, read-only, opened through
// the edition VFS with the edition's password.
#pragma once

#include "Result.h"

#include <QString>

#include <string>
#include <vector>

struct sqlite3;
class TQuery;

class TDatabase {
public:
    TDatabase() = default;
    ~TDatabase();
    TDatabase(const TDatabase&) = delete;
    TDatabase& operator=(const TDatabase&) = delete;

    // The name every query of the data module refers to.
    QString DatabaseName = "Data";
    // Set at run time, before Open: the edition file and its password.
    QString DatabaseFileName;
    std::string Password;

    // Opens the sealed edition DatabaseFileName with Password and reads its
    // schema once, so that a damaged file, a wrong password or a missing
    // table shows here and not in the first query. The error text names the file.
    Status Open();
    // Opens an unsealed database read-only (for the publisher's tools and for
    // measuring the edition VFS against the plain file).
    Status OpenPlain();
    // Closes every query on the connection, then the connection.
    void Close();
    bool Connected() const { return handle_ != nullptr; }

    sqlite3* handle() const { return handle_; }
    // The text for a failure code of this connection: the edition file's own
    // fault when the VFS recorded one, else SQLite's message.
    QString errorText(int rc) const;

    void attach(TQuery* query);
    void detach(TQuery* query);

private:
    Status openWith(const std::string& uri, const char* vfs);
    Status failOpen(const QString& message);

    sqlite3* handle_ = nullptr;
    std::vector<TQuery*> queries_;
};
