// Generates a demo edition: the city and its map, the directory with its
// pictures and articles, and every content item; writes the plain database
// and seals it with the edition's password.
#pragma once

#include "ContentItems.h"
#include "Directory.h"

#include "Result.h"

#include <QString>

#include <cstdint>

inline constexpr int kMaxGeneratedFirms = 1000000;

struct EditionOptions {
    int edition = 1;        // 1 Ольмарск, 2 Корвинск
    std::uint64_t seed = 1; // the same seed always gives the same data
    double scale = 1;       // grows the city's area and its firms this many times
    int firms = 0;          // the directory's firm count; 0: as many as the scale gives
};

struct EditionData {
    City city;
    Directory directory;
    std::vector<ContentItem> content;
};

// Builds everything in memory. Needs a QGuiApplication (pictures).
EditionData GenerateEditionData(const EditionOptions& options);

// The map and icon library blobs, in the map engine's formats.
QByteArray MapBlob(const City& city);
QByteArray IconLibraryBlob();

// Writes the unsealed database, byte for byte the same for the same options,
// and the edition's route graph file beside it.
Status WritePlainEdition(const EditionOptions& options, const QString& plainPath);
// The route graph file of an edition: in the edition file's folder, under the
// edition's GraphFiles name.
QString EditionGraphPath(int edition, const QString& editionPath);
// Writes the sealed edition file (the plain database passes through a
// temporary file beside it).
Status WriteSealedEdition(const EditionOptions& options, const QString& sealedPath);
