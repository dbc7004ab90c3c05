// The export tests' readers: Debian's own parsers of each format, run on
// the written file.
#pragma once

#include "TestEnvironment.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>

// Writes the bytes to the file `name` of the folder, as the program saves
// files, and gives its path.
QString WrittenFile(const TemporaryFolder& folder, const char* name, const QByteArray& bytes);

// What tests/exports/read_back.py prints for the file (mode: csv, vcard,
// ical, places); a null value when the reader fails, with its message in
// the test's output.
QJsonValue ReadBack(const QString& mode, const QString& path);

// xmllint --schema with one of the schema parts of tests/exports; the
// checker's complaints, empty when the file is valid.
QString SchemaComplaints(const QString& schemaName, const QString& path);
