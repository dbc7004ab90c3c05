// Small drawing helpers shared by the picture makers.
#pragma once

#include "Prng.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>

namespace PictureTools {

// A well-saturated colour of the random draw, and a light or dark partner.
QColor brightColor(Prng& random);
QColor lighter(const QColor& color, int percent);

// A DejaVu Sans font of the pixel size, bold or not.
QFont font(int pixelSize, bool bold);

// Draws text in the rectangle with the largest font (up to maxPixels) at
// which it fits on one line; flags as for QPainter::drawText.
void fitText(QPainter& painter, const QRectF& box, const QString& text, int maxPixels, bool bold, int flags);

QByteArray encode(const QImage& image, const char* format, int quality = -1);

} // namespace PictureTools
