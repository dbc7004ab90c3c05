// A firm list as a table for Russian spreadsheet programs and as an
// address book of vCard 4.0 cards.
#pragma once

#include "ExportFirms.h"
#include "GeoReference.h"

#include <QByteArray>

#include <optional>
#include <vector>

// UTF-8 with a byte-order mark, ";" between fields, CR LF between rows,
// a field in quotes (its own quotes doubled) when it holds a quote, a ";"
// or a line break; one that a spreadsheet would run as a formula gets an
// apostrophe in front. A heading row, then one row per address of each firm;
// a firm without addresses gets one row with the address fields empty.
QByteArray FirmsCsv(const std::vector<ExportFirm>& firms);

// One card per firm. GEO is written for the addresses whose building is on
// the map, and only when the edition knows where it lies on the Earth.
QByteArray FirmsVCard(const std::vector<ExportFirm>& firms, const std::optional<GeoReference>& reference);

// The fields' text escaping of vCard and iCalendar: backslash, comma,
// semicolon and line breaks.
QString ContentLineText(const QString& text);
// A content line folded after 75 octets, never inside a UTF-8 character;
// ended with CR LF.
QByteArray FoldedContentLine(const QString& line);
