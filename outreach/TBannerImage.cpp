#include "TBannerImage.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

TBannerImage::TBannerImage(QWidget* parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignCenter);
}

void TBannerImage::SetPicture(const QImage& picture)
{
    picture_ = picture;
    showFitted();
}

void TBannerImage::showFitted()
{
    if (picture_.isNull()) {
        clear();
        return;
    }
    const bool fits = picture_.width() <= width() && picture_.height() <= height();
    const QImage shown = fits ? picture_ : picture_.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    setPixmap(QPixmap::fromImage(shown));
}

void TBannerImage::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    showFitted();
}

void TBannerImage::mousePressEvent(QMouseEvent* event)
{
    pressed_ = event->button() == Qt::LeftButton;
    // The handler may close the window that holds the banner, or destroy the banner.
    emit MouseDown(this);
}

void TBannerImage::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (!click)
        return;
    emit Clicked(this);
    if (OnClick)
        OnClick(this);
}

QImage TBannerImage::Placeholder(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(0, 0, 0, size.height());
    background.setColorAt(0, QColor(250, 248, 242));
    background.setColorAt(1, QColor(232, 228, 216));
    painter.fillRect(image.rect(), background);
    painter.setPen(QPen(QColor(196, 188, 168), 1, Qt::DashLine));
    painter.drawRect(QRectF(image.rect()).adjusted(3.5, 3.5, -4.5, -4.5));
    QFont font = painter.font();
    font.setPixelSize(qBound(10, size.height() / 6, 22));
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(150, 140, 118));
    painter.drawText(image.rect(), Qt::AlignCenter | Qt::TextWordWrap, "Место для вашей рекламы");
    return image;
}
