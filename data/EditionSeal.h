// Sealing a plain SQLite database into an edition file and back, for the
// publisher's tool and for tests. The program itself only ever reads
// editions, through the edition VFS.
#pragma once

#include "Result.h"

#include <QString>

#include <string>

// Seals `plainPath` (a sound SQLite database, not in write-ahead-log mode)
// into `sealedPath` with `password`. One block per database page. The output
// is written beside its final name and renamed into place when complete.
Status SealEditionFile(const QString& plainPath, const QString& sealedPath, const std::string& password);

// Writes the plain database held by the edition file back to `plainPath`.
Status UnsealEditionFile(const QString& sealedPath, const QString& plainPath, const std::string& password);

// Checks the header and every block of the edition file, used or not.
Status VerifyEditionBlocks(const QString& sealedPath, const std::string& password);
