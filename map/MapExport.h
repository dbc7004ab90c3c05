// The map as a picture to keep or print: the control's picture stamped with
// the product's logo and caption, saved as a BMP file or printed scaled to the
// page; and the picture helpers the mail windows share (a window's
// screenshot, two pictures interleaved).
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <stdexcept>

class QLabel;
class QPrinter;
class QProgressBar;
class QWidget;
class TDataMap;

// A broken promise of a caller, reported as the program's assertions are:
// the message, the unit and the line.
class EAssertionFailed : public std::runtime_error {
public:
    EAssertionFailed(const QString& message, const QString& unit, int line);
};

// A picture could not be written to the file the user chose.
class ESaveError : public std::runtime_error {
public:
    explicit ESaveError(const QString& message);
};

// Where the stamps go on a map picture of size bitmap: the logo is centred on
// the point at a fifth of the width and height, the caption is centred
// horizontally with its middle at six sevenths of the height.
QPoint LogoPosition(QSize bitmap, QSize stamp);
QPoint CaptionPosition(QSize bitmap, QSize stamp);

// Copies every pixel of stamp that is not pure white onto bitmap, the stamp's
// corner at topLeft; what falls outside the bitmap is left out.
void StampBitmap(QImage& bitmap, const QImage& stamp, QPoint topLeft);

// A stamp compiled into the program ("VDLLOGO", "VDLCAPT").
QImage LoadStamp(const QString& name);

// picture as a 32-bit bitmap with logo and caption stamped in their places.
QImage StampedBitmap(const QImage& picture, const QImage& logo, const QImage& caption);

// The map as it is shown now, stamped; tells frmProgress what is going on.
QImage GetBitmap(TDataMap& map);

// Writes bitmap as a BMP file whatever the name's extension; throws
// ESaveError when the file cannot be written.
void SaveBitmap(const QImage& bitmap, const QString& fileName);

// The rectangle a bitmap is printed into on a page of page device pixels:
// at its on-screen physical size (screenPPI against the printer's dots per
// inch), shrunk to the page when fit is set (never enlarged when noEnlarge
// is set too), centred on the page when center is set.
QRect BitmapPrintRect(QSize bitmap, QSize page, double printerDpiX, double printerDpiY, int screenPPI, bool fit,
                      bool noEnlarge, bool center);

// The printer the program prints on; the print preview changes it.
QPrinter& Printer();

// Prints bitmap as one job with a page per copy (0 copies count as one).
// False when the job failed; an empty bitmap is a caller's fault and throws
// EAssertionFailed.
bool BitmapPrint(QPrinter& printer, const QImage& bitmap, std::uint16_t copies, bool fit, bool noEnlarge,
                 bool center, int screenPPI, const QString& title);
bool BitmapPrint(const QImage& bitmap, std::uint16_t copies, bool fit, bool noEnlarge, bool center, int screenPPI,
                 const QString& title);

// BitmapPrint of the picture an image control shows, as a 24-bit bitmap.
bool ImagePrint(const QLabel& image, std::uint16_t copies, bool fit, bool noEnlarge, bool center, int screenPPI,
                const QString& title);

// What the screen shows where control stands, at the control's size.
QImage GetScreenShot(QWidget* control);

// A checkerboard of two pictures: pixel (x, y) from first where x and y are
// both even or both odd, from second elsewhere; the smaller width and height
// of the two. gauge (may be null) counts the columns.
void MixBMP(const QImage& first, const QImage& second, QImage& result, QProgressBar* gauge);
