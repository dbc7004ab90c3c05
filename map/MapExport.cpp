#include "MapExport.h"

#include "TDataMap.h"
#include "TfrmProgress.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPixmap>
#include <QProgressBar>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

EAssertionFailed::EAssertionFailed(const QString& message, const QString& unit, int line)
    : std::runtime_error(QString("%1 (%2, line %3)").arg(message, unit).arg(line).toStdString())
{
}

ESaveError::ESaveError(const QString& message) : std::runtime_error(message.toStdString()) {}

namespace {

// Halves go to the even neighbour, as everywhere in the program.
int RoundHalfEven(double value)
{
    if (std::abs(value - std::trunc(value)) == 0.5)
        return static_cast<int>(2.0 * std::round(value / 2.0));
    return static_cast<int>(std::round(value));
}

constexpr QRgb kTransparentWhite = 0xFFFFFF;

} // namespace

QPoint LogoPosition(QSize bitmap, QSize stamp)
{
    return {RoundHalfEven(bitmap.width() / 5.0 - stamp.width() / 2.0),
            RoundHalfEven(bitmap.height() / 5.0 - stamp.height() / 2.0)};
}

QPoint CaptionPosition(QSize bitmap, QSize stamp)
{
    return {RoundHalfEven(bitmap.width() / 2.0 - stamp.width() / 2.0),
            RoundHalfEven(bitmap.height() - bitmap.height() / 7.0 - stamp.height() / 2.0)};
}

void StampBitmap(QImage& bitmap, const QImage& stamp, QPoint topLeft)
{
    const QImage source = stamp.convertToFormat(QImage::Format_RGB32);
    const QRect inside = QRect(topLeft, source.size()).intersected(bitmap.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y - topLeft.y()));
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QRgb colour = from[x - topLeft.x()];
            if ((colour & 0xFFFFFF) != kTransparentWhite)
                bitmap.setPixel(x, y, colour);
        }
    }
}

QImage LoadStamp(const QString& name)
{
    QImage stamp(":/" + name);
    if (stamp.isNull())
        throw std::runtime_error(QString("Не найден рисунок %1 среди ресурсов программы.").arg(name).toStdString());
    return stamp;
}

QImage StampedBitmap(const QImage& picture, const QImage& logo, const QImage& caption)
{
    QImage bitmap = picture.convertToFormat(QImage::Format_RGB32);
    StampBitmap(bitmap, logo, LogoPosition(bitmap.size(), logo.size()));
    StampBitmap(bitmap, caption, CaptionPosition(bitmap.size(), caption.size()));
    return bitmap;
}

QImage GetBitmap(TDataMap& map)
{
    const QImage picture = map.Picture();
    if (frmProgress)
        frmProgress->SetCaption("Предпросмотр", "Обработка изображения");
    QCoreApplication::processEvents();
    return StampedBitmap(picture, LoadStamp("VDLLOGO"), LoadStamp("VDLCAPT"));
}

void SaveBitmap(const QImage& bitmap, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw ESaveError(QString("Не удалось сохранить рисунок в файл «%1»: %2").arg(fileName, file.errorString()));
    QImageWriter writer(&file, "bmp");
    if (!writer.write(bitmap) || !file.flush()) {
        const QString reason = writer.error() != QImageWriter::UnknownError ? writer.errorString() : file.errorString();
        file.remove();
        throw ESaveError(QString("Не удалось сохранить рисунок в файл «%1»: %2").arg(fileName, reason));
    }
}

// A window is taken with its frame, as the user sees it; a control inside a
// window by its own rectangle.
QImage GetScreenShot(QWidget* control)
{
    const QRect area = control->isWindow()
                           ? control->frameGeometry()
                           : QRect(control->parentWidget()->mapToGlobal(control->pos()), control->size());
    QScreen* screen = control->screen();
    const QPoint onScreen = area.topLeft() - screen->geometry().topLeft();
    QImage shot = screen->grabWindow(0, onScreen.x(), onScreen.y(), area.width(), area.height()).toImage();
    // Where the platform keeps the screen to itself (Wayland, no display)
    // the control paints itself instead: the same picture unless something
    // stands over it.
    if (shot.isNull() || shot.size() != area.size())
        shot = control->grab().toImage();
    return shot.convertToFormat(QImage::Format_RGB32);
}

void MixBMP(const QImage& first, const QImage& second, QImage& result, QProgressBar* gauge)
{
    const int width = std::min(first.width(), second.width());
    const int height = std::min(first.height(), second.height());
    const QImage a = first.convertToFormat(QImage::Format_RGB32);
    const QImage b = second.convertToFormat(QImage::Format_RGB32);
    result = QImage(width, height, QImage::Format_RGB32);
    if (gauge)
        gauge->setMaximum(width);
    for (int x = 0; x < width; ++x) {
        if (gauge)
            gauge->setValue(x);
        for (int y = 0; y < height; ++y)
            result.setPixel(x, y, (x % 2 == y % 2 ? a : b).pixel(x, y));
    }
}
