// Web archives (MHT): one MIME multipart/related message holding a page and
// the pictures it shows. The embedded browser opens such files itself, but it
// treats them as sandboxed documents: no scripts, and pictures whose location
// is a local file are refused. So the viewer unpacks the archive into a single
// page whose pictures travel inside it as data addresses.
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

struct TMhtPage {
    QString html;
};

// The archive's page (the first HTML part) as text, with every reference to
// another part of the archive — by its location, by the location's file name
// or by "cid:" — replaced by a data address holding that part.
Result<TMhtPage> SelfContainedPage(const TMhtArchive& archive);

// True when the file is a web archive rather than a plain page, judged by its
// name (".mht", ".mhtml") or by a multipart header at its start.
bool LooksLikeWebArchive(const QString& fileName, const QByteArray& start);
