// A firm's sheet for paper or PDF: the card as the list shows it, then a
// piece of the map around each of its buildings with the building marked
// and a scale bar.
#pragma once

#include "ExportFirms.h"
#include "Result.h"

#include <QString>

class MapEngine;
class QPagedPaintDevice;

// Lays the sheet out on A4 pages of the device (a PDF writer or a printer
// that is set up already), taking the map's look from the engine.
void PaintFirmSheet(QPagedPaintDevice& device, const ExportFirm& firm, const MapEngine& map);

// The sheet as a PDF file, written whole or not at all.
Status WriteFirmSheetPdf(const QString& path, const ExportFirm& firm, const MapEngine& map);

// The length of the scale bar for a piece this many metres wide: a round
// 1, 2 or 5 times a power of ten, at most a quarter of the width.
double ScaleBarMetres(double pieceWidthMetres);
// "50 м", "200 м", "1 км".
QString DistanceText(double metres);
