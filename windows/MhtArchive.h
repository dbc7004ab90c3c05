// Web archives (MHT): one MIME multipart/related message holding a page and
// the pictures it shows. The embedded browser opens such files itself, but it
// treats them as sandboxed documents: no scripts, and pictures whose location
// is a local file are refused. Nor may a page handed over as text be large:
// the browser takes it as one data address, which ends at 2 MB. So the viewer
// unpacks the archive into a page file and the files of its parts beside it,
// which the browser opens like any local page, whatever their size.
#pragma once

#include "Result.h"

#include <QByteArray>
#include <QString>
#include <vector>

struct TMhtPart {
    QString contentType; // lower case, without parameters: "text/html", "image/jpeg"
    QString charset;     // lower case; empty when the part names none
    QString location;    // Content-Location as written
    QString contentId;   // Content-ID without its angle brackets
    QByteArray body;     // decoded from base64 or quoted-printable
};

struct TMhtArchive {
    std::vector<TMhtPart> parts;
};

// Reads the archive's parts; a message that is no multipart archive is refused
// with a message saying why.
Result<TMhtArchive> ParseMhtArchive(const QByteArray& archive);

struct TMhtFile {
    QString name; // relative to the page: the parts' folder, "/", the part's file name
    QByteArray bytes;
};

struct TMhtPage {
    // The page as UTF-8 headed by a byte order mark, which the browser trusts
    // over any other charset the page itself declares.
    QByteArray html;
    std::vector<TMhtFile> files;
};

// The archive's page (the first HTML part), with every reference to another
// part of the archive (by its location, by the location's file name or by
// "cid:") replaced by the relative address of that part's file in the folder
// `partsFolder` beside the page.
Result<TMhtPage> UnpackedPage(const TMhtArchive& archive, const QString& partsFolder);

// True when the file is a web archive rather than a plain page, judged by its
// name (".mht", ".mhtml") or by a multipart header at its start.
bool LooksLikeWebArchive(const QString& fileName, const QByteArray& start);
