#include "TSplitterBar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>

namespace {

// What the firm list keeps of the panel however far the bar is dragged down.
constexpr int kListKeeps = 40;

} // namespace

TSplitterBar::TSplitterBar(QWidget* above, QWidget* below, QWidget* parent)
    : QWidget(parent), above_(above), below_(below) {
    setCursor(Qt::SizeVerCursor);
    setFixedHeight(13);
}

void TSplitterBar::MoveBy(int dy) {
    resizeAbove(std::max(above_->height() + dy, MinSize));
    if (OnMoved)
        OnMoved();
}

void TSplitterBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    pressY_ = event->globalPosition().toPoint().y();
    pressHeight_ = above_->height();
}

void TSplitterBar::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_)
        return;
    const int dy = event->globalPosition().toPoint().y() - pressY_;
    resizeAbove(std::max(pressHeight_ + dy, MinSize));
}

void TSplitterBar::mouseReleaseEvent(QMouseEvent* event) {
    if (!dragging_ || event->button() != Qt::LeftButton)
        return;
    dragging_ = false;
    if (OnMoved)
        OnMoved();
}

void TSplitterBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    option.state |= QStyle::State_Horizontal;
    style()->drawControl(QStyle::CE_Splitter, &option, &painter, this);
}

void TSplitterBar::resizeAbove(int height) {
    above_->setFixedHeight(std::min(height, largestHeight()));
}

int TSplitterBar::largestHeight() const {
    // Before the panel is laid out the list's height means nothing yet.
    if (!below_->isVisible())
        return QWIDGETSIZE_MAX;
    return std::max(MinSize, above_->height() + below_->height() - kListKeeps);
}
