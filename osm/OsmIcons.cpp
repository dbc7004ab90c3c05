#include "OsmIcons.h"

#include <QPainter>
#include <QPolygonF>

#include <cmath>
#include <numbers>

namespace {

QFont iconFont(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

// A red square with a white "Т", as tram stops are marked in Russian towns.
void drawTramStop(QPainter& painter)
{
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(QColor(200, 40, 40));
    painter.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 3, 3);
    painter.setPen(Qt::white);
    painter.setFont(iconFont(15));
    painter.drawText(QRectF(1, 1, 22, 22), Qt::AlignCenter, QStringLiteral("Т"));
}

// A red octagon with a white rim.
void drawStopSign(QPainter& painter)
{
    QPolygonF octagon;
    for (int k = 0; k < 8; ++k) {
        const double angle = std::numbers::pi / 8 + k * std::numbers::pi / 4;
        octagon << QPointF(12 + 10.5 * std::cos(angle), 12 + 10.5 * std::sin(angle));
    }
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(QColor(210, 30, 30));
    painter.drawPolygon(octagon);
    painter.setPen(Qt::white);
    painter.setFont(iconFont(6));
    painter.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("STOP"));
}

} // namespace

QStringList OsmIconNames() { return {QStringLiteral("TRAM.BMP"), QStringLiteral("STOPSIGN.BMP")}; }

QImage DrawOsmIcon(const QString& name)
{
    QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    if (name == QLatin1String("TRAM.BMP"))
        drawTramStop(painter);
    else
        drawStopSign(painter);
    return image;
}
