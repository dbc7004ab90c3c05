#include "print_support.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

QString PdfInfo(const QString& pdf)
{
    QProcess info;
    info.start("pdfinfo", {pdf});
    if (!info.waitForFinished(30000) || info.exitCode() != 0)
        return {};
    return QString::fromUtf8(info.readAllStandardOutput());
}

} // namespace

int PdfPageCount(const QString& pdf)
{
    const auto match = QRegularExpression(R"(^Pages:\s+(\d+))", QRegularExpression::MultilineOption).match(PdfInfo(pdf));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QSizeF PdfPageSize(const QString& pdf)
{
    const auto match = QRegularExpression(R"(^Page size:\s+([\d.]+) x ([\d.]+) pts)", QRegularExpression::MultilineOption)
                           .match(PdfInfo(pdf));
    return match.hasMatch() ? QSizeF(match.captured(1).toDouble(), match.captured(2).toDouble()) : QSizeF();
}

QImage RenderPdfPage(const QString& pdf, int page, int dpi)
{
    QTemporaryDir folder;
    const QString prefix = folder.filePath("page");
    QProcess render;
    render.start("pdftoppm", {"-r", QString::number(dpi), "-f", QString::number(page), "-l", QString::number(page),
                              "-png", "-singlefile", pdf, prefix});
    if (!render.waitForFinished(60000) || render.exitCode() != 0)
        return {};
    return QImage(prefix + ".png").convertToFormat(QImage::Format_RGB32);
}

QRect InkBounds(const QImage& page)
{
    QRect bounds;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb pixel = page.pixel(x, y);
            if (qRed(pixel) < 240 || qGreen(pixel) < 240 || qBlue(pixel) < 240)
                bounds |= QRect(x, y, 1, 1);
        }
    return bounds;
}
