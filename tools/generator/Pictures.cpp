#include "Pictures.h"

#include "PictureTools.h"

#include <QLinearGradient>
#include <QPainterPath>

using namespace PictureTools;

namespace {

QString initialsOf(const QString& brand)
{
    QString letters;
    for (const QChar character : brand)
        if (character.isUpper() && letters.size() < 2)
            letters += character;
    return letters.isEmpty() ? brand.left(1).toUpper() : letters;
}

void drawEmblem(QPainter& painter, const QRectF& box, const QColor& color, const QString& brand, int shape)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    if (shape == 0)
        painter.drawEllipse(box);
    else if (shape == 1)
        painter.drawRoundedRect(box, 6, 6);
    else {
        QPainterPath diamond;
        diamond.moveTo(box.center().x(), box.top());
        diamond.lineTo(box.right(), box.center().y());
        diamond.lineTo(box.center().x(), box.bottom());
        diamond.lineTo(box.left(), box.center().y());
        diamond.closeSubpath();
        painter.drawPath(diamond);
    }
    painter.setPen(Qt::white);
    fitText(painter, box.adjusted(4, 4, -4, -4), initialsOf(brand), 20, true, Qt::AlignCenter);
}

QLinearGradient verticalGradient(const QRectF& box, const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(box.topLeft(), box.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

void drawWideBanner(QPainter& painter, QSize size, const AdvertFacts& facts, const QColor& main)
{
    const QRectF emblem(6, 6, size.height() - 12, size.height() - 12);
    drawEmblem(painter, emblem, lighter(main, 150), facts.brand, 0);
    const double left = emblem.right() + 6;
    const double width = size.width() - left - 5;
    painter.setPen(Qt::white);
    fitText(painter, QRectF(left, 3, width, 22), facts.brand, 18, true, Qt::AlignLeft | Qt::AlignVCenter);
    painter.setPen(QColor(255, 240, 170));
    fitText(painter, QRectF(left, 24, width, 15), facts.category, 11, false, Qt::AlignLeft | Qt::AlignVCenter);
    painter.setPen(Qt::white);
    fitText(painter, QRectF(left, 40, width, 16), QStringLiteral("тел. ") + facts.phone, 12, true,
            Qt::AlignLeft | Qt::AlignVCenter);
}

void drawSquareBanner(QPainter& painter, QSize size, const AdvertFacts& facts, const QColor& main)
{
    const double width = size.width();
    drawEmblem(painter, QRectF(width / 2 - 28, 10, 56, 56), lighter(main, 160), facts.brand, 1);
    painter.setPen(Qt::white);
    fitText(painter, QRectF(8, 72, width - 16, 30), facts.brand, 26, true, Qt::AlignCenter);
    painter.setPen(QColor(255, 240, 170));
    fitText(painter, QRectF(8, 102, width - 16, 18), facts.category, 13, false, Qt::AlignCenter);
    painter.setPen(Qt::white);
    fitText(painter, QRectF(8, 124, width - 16, 18), facts.slogan, 13, false, Qt::AlignCenter);
    painter.fillRect(QRectF(0, 148, width, 52), QColor(0, 0, 0, 70));
    fitText(painter, QRectF(8, 151, width - 16, 22), QStringLiteral("тел. ") + facts.phone, 17, true, Qt::AlignCenter);
    fitText(painter, QRectF(8, 174, width - 16, 20), facts.address, 12, false, Qt::AlignCenter);
}

} // namespace

EncodedPicture DrawLogo(const QString& brand, const QString& kind, Prng& random)
{
    QImage image(120, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QColor color = brightColor(random);
    drawEmblem(painter, QRectF(3, 4, 40, 40), color, brand, random.range(0, 2));
    painter.setPen(color.darker(140));
    fitText(painter, QRectF(47, 4, 70, 26), brand, 16, true, Qt::AlignLeft | Qt::AlignVCenter);
    painter.setPen(Qt::darkGray);
    fitText(painter, QRectF(47, 30, 70, 14), kind, 10, false, Qt::AlignLeft | Qt::AlignVCenter);
    painter.end();
    const double roll = random.unit();
    if (roll < 0.2)
        return {encode(image, "bmp"), QStringLiteral(".bmp")};
    if (roll < 0.65)
        return {encode(image, "png"), QStringLiteral(".png")};
    return {encode(image, "jpg", 88), QStringLiteral(".jpg")};
}

QByteArray DrawBanner(QSize size, const AdvertFacts& facts, Prng& random)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QColor main = brightColor(random);
    const QRectF box(QPointF(0, 0), QSizeF(size));
    painter.fillRect(box, verticalGradient(box, main, main.darker(170)));
    if (size.height() < 100)
        drawWideBanner(painter, size, facts, main);
    else
        drawSquareBanner(painter, size, facts, main);
    painter.setPen(QPen(QColor(255, 255, 255, 160), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(1, 1, -1, -1));
    painter.end();
    return encode(image, "jpg", 90);
}

QByteArray DrawArticlePicture(const AdvertFacts& facts, Prng& random)
{
    QImage image(480, 270, QImage::Format_RGB32);
    image.fill(QColor(200, 205, 195)); // the street beside the house
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF sky(0, 0, 480, 150);
    painter.fillRect(sky, verticalGradient(sky, QColor(120, 170, 230), QColor(210, 230, 250)));
    painter.fillRect(QRectF(0, 230, 480, 40), QColor(150, 150, 150));
    const QColor wall = QColor::fromHsv(random.range(0, 50), random.range(30, 90), random.range(170, 230));
    painter.fillRect(QRectF(40, 40, 400, 190), wall);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(70, 100, 130));
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 6; ++column)
            painter.drawRect(QRectF(60 + column * 64, 50 + row * 40, 36, 28));
    const QColor sign = brightColor(random);
    painter.setBrush(sign);
    painter.drawRoundedRect(QRectF(70, 135, 340, 40), 5, 5);
    painter.setPen(Qt::white);
    fitText(painter, QRectF(80, 137, 320, 36), facts.brand, 28, true, Qt::AlignCenter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(90, 60, 40));
    painter.drawRect(QRectF(215, 182, 50, 48));
    painter.setBrush(QColor(170, 210, 240));
    painter.drawRect(QRectF(80, 185, 110, 40));
    painter.drawRect(QRectF(290, 185, 110, 40));
    painter.end();
    return encode(image, "jpg", 85);
}
