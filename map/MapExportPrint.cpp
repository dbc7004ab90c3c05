// Printing a bitmap at its on-screen physical size, shrunk to the page.
#include "MapExport.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>

#include <algorithm>
#include <cmath>

QRect BitmapPrintRect(QSize bitmap, QSize page, double printerDpiX, double printerDpiY, int screenPPI, bool fit,
                      bool noEnlarge, bool center)
{
    const double kx = printerDpiX / screenPPI;
    const double ky = printerDpiY / screenPPI;
    double s = std::min(page.width() / static_cast<double>(bitmap.width()) / kx,
                        page.height() / static_cast<double>(bitmap.height()) / ky);
    if (!fit || (noEnlarge && s > 1))
        s = 1;
    const int w = static_cast<int>(std::trunc(bitmap.width() * s * kx));
    const int h = static_cast<int>(std::trunc(bitmap.height() * s * ky));
    if (!center)
        return {0, 0, w, h};
    return {(page.width() - w) / 2, (page.height() - h) / 2, w, h};
}

QPrinter& Printer()
{
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

namespace {

bool PrintPages(QPrinter& printer, const QImage& bitmap, int copies, bool fit, bool noEnlarge, bool center,
                int screenPPI, const QString& title)
{
    printer.setDocName(title);
    // The copies are pages of the one job, not copies made by the print service.
    printer.setCopyCount(1);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect target = BitmapPrintRect(bitmap.size(), QSize(printer.width(), printer.height()),
                                         printer.logicalDpiX(), printer.logicalDpiY(), screenPPI, fit, noEnlarge,
                                         center);
    bool printed = true;
    for (int copy = 1; copy <= copies && printed; ++copy) {
        painter.drawImage(target, bitmap);
        if (copy < copies)
            printed = printer.newPage();
    }
    return painter.end() && printed && printer.printerState() != QPrinter::Error;
}

} // namespace

bool BitmapPrint(QPrinter& printer, const QImage& bitmap, std::uint16_t copies, bool fit, bool noEnlarge,
                 bool center, int screenPPI, const QString& title)
{
    if (bitmap.isNull() || bitmap.width() < 1 || bitmap.height() < 1)
        throw EAssertionFailed("BitmapPrint: bitmap is empty.", "utils\\VdlUtils", 97);
    try {
        return PrintPages(printer, bitmap, std::max<int>(copies, 1), fit, noEnlarge, center, screenPPI, title);
    } catch (...) {
        return false;
    }
}

bool BitmapPrint(const QImage& bitmap, std::uint16_t copies, bool fit, bool noEnlarge, bool center, int screenPPI,
                 const QString& title)
{
    return BitmapPrint(Printer(), bitmap, copies, fit, noEnlarge, center, screenPPI, title);
}

bool ImagePrint(const QLabel& image, std::uint16_t copies, bool fit, bool noEnlarge, bool center, int screenPPI,
                const QString& title)
{
    const QPixmap picture = image.pixmap();
    QImage bitmap(picture.size(), QImage::Format_RGB888);
    if (!bitmap.isNull()) {
        bitmap.fill(Qt::white);
        QPainter painter(&bitmap);
        painter.drawPixmap(0, 0, picture);
    }
    return BitmapPrint(bitmap, copies, fit, noEnlarge, center, screenPPI, title);
}
