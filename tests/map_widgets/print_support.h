// What the printing tests share: reading PDF files back with poppler's tools.
#pragma once

#include <QImage>
#include <QString>

// The "Pages:" line of pdfinfo; -1 when the file cannot be read.
int PdfPageCount(const QString& pdf);
// The page's size in points, from pdfinfo's "Page size:" line.
QSizeF PdfPageSize(const QString& pdf);
// Page number page of the PDF rendered at dpi dots per inch.
QImage RenderPdfPage(const QString& pdf, int page, int dpi);
// The smallest rectangle holding every pixel that is not (nearly) white.
QRect InkBounds(const QImage& page);
