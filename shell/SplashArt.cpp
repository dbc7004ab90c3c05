#include "SplashArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

constexpr QSize kSplashSize(474, 610);
constexpr QSize kFinishSize(464, 455);
const QColor kDeepBlue(22, 62, 122);
const QColor kBlue(44, 104, 184);
const QColor kPaper(252, 251, 247);

struct Tower {
    int left, width, top;
};

// The skyline along the bottom edge; the tops are the window's outline there.
constexpr std::array<Tower, 16> kSkyline{{{14, 34, 566},  {48, 22, 584},  {70, 30, 556},  {100, 18, 590},
                                           {118, 40, 572}, {158, 16, 548}, {174, 36, 578}, {210, 28, 560},
                                           {238, 44, 586}, {282, 20, 552}, {302, 38, 574}, {340, 24, 590},
                                           {364, 30, 562}, {394, 22, 580}, {416, 26, 558}, {442, 18, 582}}};

QPainterPath splashOutline()
{
    QPainterPath outline;
    outline.addRoundedRect(QRectF(10, 6, 454, 560), 24, 24);
    for (const Tower& tower : kSkyline)
        outline.addRect(tower.left, tower.top, tower.width, kSplashSize.height() - tower.top);
    return outline.simplified();
}

void drawTitleBand(QPainter& painter)
{
    QLinearGradient band(0, 6, 0, 62);
    band.setColorAt(0, kBlue);
    band.setColorAt(1, kDeepBlue);
    painter.fillRect(QRect(0, 0, kSplashSize.width(), 62), band);
    QFont title("DejaVu Sans");
    title.setPixelSize(30);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    painter.setFont(title);
    painter.setPen(Qt::white);
    painter.drawText(QRect(34, 10, 300, 44), Qt::AlignVCenter | Qt::AlignLeft, "ВАРИНДЕЛ");
    QFont motto("DejaVu Sans");
    motto.setPixelSize(12);
    motto.setItalic(true);
    painter.setFont(motto);
    painter.setPen(QColor(210, 226, 248));
    painter.drawText(QRect(230, 14, 188, 40), Qt::AlignVCenter | Qt::AlignRight, "весь город\nна одной карте");
}

void drawPinMark(QPainter& painter, QPointF tip, double size, QColor colour)
{
    QPainterPath pin;
    pin.moveTo(tip);
    pin.cubicTo(tip + QPointF(-size * 0.9, -size * 1.1), tip + QPointF(-size * 0.7, -size * 2.2),
                tip + QPointF(0, -size * 2.2));
    pin.cubicTo(tip + QPointF(size * 0.7, -size * 2.2), tip + QPointF(size * 0.9, -size * 1.1), tip);
    painter.fillPath(pin, colour);
    painter.setBrush(Qt::white);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(tip + QPointF(0, -size * 1.45), size * 0.32, size * 0.32);
}

void drawField(QPainter& painter)
{
    painter.fillRect(QRect(10, 62, 454, 500), kPaper);
    painter.setPen(QPen(QColor(214, 208, 194), 1));
    for (const QRect slot : {QRect(29, 79, 201, 201), QRect(245, 79, 201, 201), QRect(29, 295, 201, 201),
                             QRect(245, 295, 201, 201)})
        painter.drawRect(slot);
    painter.setPen(QPen(QColor(200, 192, 172), 1));
    painter.drawLine(30, 508, 444, 508);
}

void drawSkyline(QPainter& painter)
{
    QLinearGradient dusk(0, 545, 0, kSplashSize.height());
    dusk.setColorAt(0, kBlue);
    dusk.setColorAt(1, kDeepBlue);
    painter.fillRect(QRect(0, 546, kSplashSize.width(), kSplashSize.height() - 546), dusk);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 214, 120));
    for (const Tower& tower : kSkyline)
        for (int y = tower.top + 6; y < kSplashSize.height() - 8; y += 9)
            for (int x = tower.left + 5; x + 4 <= tower.left + tower.width - 4; x += 8)
                if ((x * 7 + y * 3) % 5 != 0)
                    painter.drawRect(x, y, 3, 4);
}

} // namespace

QImage SplashPicture()
{
    QImage picture(kSplashSize, QImage::Format_RGB32);
    picture.fill(kPaper);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        drawField(painter);
        drawTitleBand(painter);
        drawSkyline(painter);
        drawPinMark(painter, QPointF(440, 52), 12, QColor(230, 60, 50));
    }
    // The cut-out is drawn last and without smoothing, so that every pixel
    // outside the outline is exactly the transparent colour and none inside is.
    QImage cutOut(kSplashSize, QImage::Format_RGB32);
    cutOut.fill(kSplashTransparent);
    QPainter painter(&cutOut);
    painter.setClipPath(splashOutline());
    painter.drawImage(0, 0, picture);
    return cutOut;
}

QImage FinishPicture()
{
    QImage picture(kFinishSize, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, kFinishSize.height());
    background.setColorAt(0, QColor(236, 242, 250));
    background.setColorAt(1, QColor(204, 220, 240));
    painter.fillRect(picture.rect(), background);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 28));
    for (const QRect slot : {QRect(24, 20, 200, 200), QRect(240, 20, 200, 200), QRect(22, 232, 200, 200),
                             QRect(240, 232, 200, 200)})
        painter.drawRoundedRect(slot.translated(3, 3).adjusted(-1, -1, 1, 1), 4, 4);
    QFont line("DejaVu Sans");
    line.setPixelSize(12);
    line.setItalic(true);
    painter.setFont(line);
    painter.setPen(kDeepBlue);
    painter.drawText(QRect(0, 436, kFinishSize.width(), 19), Qt::AlignCenter,
                     "Спасибо, что пользуетесь справочником «Вариндел»");
    return picture;
}
