// The Data of an edition's Content row, read straight into the bytes
// returned. A statement's column first gathers a blob into a buffer of
// SQLite's own, and the copy out of it doubles the memory the load of a
// large city's map touches: 69 MB more, each page of it zeroed by the
// system on first use.
#pragma once

#include <QByteArray>

#include <optional>

class TDatabase;

// The Data of the first Content row (in the table's order) of the type;
// none when there is no such row or its Data is null. Throws
// EDatabaseError when the edition cannot be read.
std::optional<QByteArray> ContentBlob(TDatabase& database, int typeId);
