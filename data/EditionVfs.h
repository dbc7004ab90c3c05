// A read-only SQLite VFS over sealed edition files.
//
// SQLite sees the plain database; underneath, every read is served from the
// sealed blocks that cover it, each one checked and opened on demand. Every
// block is also checked once when the file opens, so damage anywhere fails
// the opening. Only a handful of opened blocks are kept, so memory stays
// small whatever the size of the file. The real file access goes through SQLite's default VFS.
//
// Open a database through it with the URI form and read-only flags:
//   sqlite3_open_v2(EditionUri(path).c_str(), &db,
//                   SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, kEditionVfsName)
// after naming the password with SetEditionPassword for that thread. The URI
// marks the file immutable, so SQLite creates no journal and takes no locks.
// Writes of any kind fail.
#pragma once

#include "EditionFormat.h"

#include <sqlite3.h>

#include <string>

inline constexpr const char* kEditionVfsName = "varindel-edition";

// Registers the VFS once (not as the default); safe to call many times.
void RegisterEditionVfs();

// The URI that opens `path` read-only and immutable through the edition VFS.
std::string EditionUri(const std::string& path);

// The password the next open on this thread uses. SQLite gives the VFS no
// place for it, so it is handed over beside the open call and cleared after.
void SetEditionPassword(const std::string& password);
void ClearEditionPassword();

// Why the last open on this thread failed in the VFS (None when it did not),
// including a first page that failed while SQLite was opening the database.
EditionFaultReport LastEditionOpenFault();

// Why the last read of the connection's main database failed in the VFS;
// None when the connection is not on an edition file or nothing failed.
EditionFaultReport EditionReadFault(sqlite3* db);
