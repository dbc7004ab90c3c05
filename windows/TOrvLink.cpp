#include "TOrvLink.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>

TOrvLink::TOrvLink(QWidget* parent)
    : QLabel(parent)
{
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(blue);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void TOrvLink::SetLink(const QString& address)
{
    link_ = address.trimmed();
    setToolTip(link_);
    if (text().isEmpty())
        setText(link_);
}

void TOrvLink::Execute()
{
    const QUrl url = LinkTarget(link_);
    emit LinkClicked(url);
    if (!url.isValid() || !QDesktopServices::openUrl(url))
        QMessageBox::warning(window(), "Вариндел", QString("Не удалось открыть адрес «%1».").arg(link_));
}

void TOrvLink::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Execute();
}

void TOrvLink::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space)
        Execute();
    else
        QLabel::keyPressEvent(event);
}

QUrl LinkTarget(const QString& address)
{
    const QString text = address.trimmed();
    if (text.isEmpty())
        return {};
    const bool hasScheme = text.contains("://") || text.startsWith("mailto:", Qt::CaseInsensitive);
    if (hasScheme)
        return QUrl(text, QUrl::StrictMode);
    if (text.contains('@'))
        return QUrl("mailto:" + text, QUrl::StrictMode);
    return QUrl("http://" + text, QUrl::StrictMode);
}
