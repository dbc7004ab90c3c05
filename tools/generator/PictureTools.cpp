#include "PictureTools.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImageWriter>

namespace PictureTools {

QColor brightColor(Prng& random)
{
    return QColor::fromHsv(random.range(0, 359), random.range(140, 230), random.range(120, 210));
}

QColor lighter(const QColor& color, int percent) { return color.lighter(percent); }

QFont font(int pixelSize, bool bold)
{
    QFont result(QStringLiteral("DejaVu Sans"));
    result.setPixelSize(std::max(pixelSize, 6));
    result.setBold(bold);
    return result;
}

void fitText(QPainter& painter, const QRectF& box, const QString& text, int maxPixels, bool bold, int flags)
{
    int pixels = maxPixels;
    while (pixels > 7 && QFontMetricsF(font(pixels, bold)).horizontalAdvance(text) > box.width())
        --pixels;
    painter.setFont(font(pixels, bold));
    const QString shown = QFontMetricsF(font(pixels, bold)).elidedText(text, Qt::ElideRight, box.width());
    painter.drawText(box, flags | Qt::TextSingleLine, shown);
}

QByteArray encode(const QImage& image, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

} // namespace PictureTools
