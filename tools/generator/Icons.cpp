#include "Pictures.h"

#include "PictureTools.h"

#include <QPainterPath>
#include <QPolygonF>

#include <functional>
#include <map>

namespace {

const QColor kSignBlue(20, 90, 190);
const QColor kSignRed(210, 30, 30);

void blueSquareWithLetter(QPainter& painter, const QString& letter)
{
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(kSignBlue);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 21, 21), 3, 3);
    painter.setPen(Qt::white);
    painter.setFont(PictureTools::font(15, true));
    painter.drawText(QRectF(1, 1, 22, 22), Qt::AlignCenter, letter);
}

void drawOk(QPainter& painter)
{
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(QColor(30, 160, 60));
    painter.drawEllipse(QRectF(1.5, 1.5, 21, 21));
    painter.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF({QPointF(6.5, 12.5), QPointF(10.5, 16.5), QPointF(17.5, 7.5)}));
}

void drawTrafficLight(QPainter& painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 40, 40));
    painter.drawRoundedRect(QRectF(7, 1, 10, 22), 3, 3);
    const QColor lights[] = {kSignRed, QColor(240, 190, 20), QColor(30, 180, 60)};
    for (int k = 0; k < 3; ++k) {
        painter.setBrush(lights[k]);
        painter.drawEllipse(QPointF(12, 5 + 7 * k), 2.6, 2.6);
    }
}

void drawGiveWay(QPainter& painter)
{
    painter.setPen(QPen(kSignRed, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF({QPointF(2.5, 4), QPointF(21.5, 4), QPointF(12, 21)}));
}

void drawCrosswalk(QPainter& painter)
{
    blueSquareWithLetter(painter, QString());
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF({QPointF(12, 4), QPointF(20.5, 19.5), QPointF(3.5, 19.5)}));
    painter.setBrush(Qt::black);
    for (int k = 0; k < 3; ++k)
        painter.drawRect(QRectF(7 + 3.5 * k, 15, 2, 3.5));
}

void drawNoEntry(QPainter& painter)
{
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(kSignRed);
    painter.drawEllipse(QRectF(1.5, 1.5, 21, 21));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(5, 10, 14, 4));
}

void drawGenericSign(QPainter& painter)
{
    painter.setPen(QPen(kSignRed, 2.5));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(2, 2, 20, 20));
    painter.setPen(Qt::black);
    painter.setFont(PictureTools::font(13, true));
    painter.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter, QStringLiteral("!"));
}

const std::map<QString, std::function<void(QPainter&)>>& painters()
{
    static const std::map<QString, std::function<void(QPainter&)>> table{
        {QStringLiteral("OK.BMP"), drawOk},
        {QStringLiteral("STOP.BMP"), [](QPainter& painter) { blueSquareWithLetter(painter, QStringLiteral("А")); }},
        {QStringLiteral("SVETOFOR.BMP"), drawTrafficLight},
        {QStringLiteral("GIVEWAY.BMP"), drawGiveWay},
        {QStringLiteral("CROSSWALK.BMP"), drawCrosswalk},
        {QStringLiteral("PARKING.BMP"), [](QPainter& painter) { blueSquareWithLetter(painter, QStringLiteral("P")); }},
        {QStringLiteral("NOENTRY.BMP"), drawNoEntry},
        {QStringLiteral("SIGN.BMP"), drawGenericSign},
    };
    return table;
}

} // namespace

QImage DrawIcon(const QString& iconName)
{
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const auto found = painters().find(iconName);
    (found != painters().end() ? found->second : painters().at(QStringLiteral("SIGN.BMP")))(painter);
    painter.end();
    return image;
}

QStringList IconNames()
{
    QStringList names;
    for (const auto& [name, draw] : painters())
        names.append(name);
    return names;
}
