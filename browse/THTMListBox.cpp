#include "THTMListBox.h"

#include "HtmlListAccessible.h"
#include "TPictureContainer.h"

#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

THTMListBox::THTMListBox(QWidget* parent)
    : QAbstractScrollArea(parent), OpenUrl([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    InstallHtmlListAccessibility();
    // A bar that never comes and goes keeps the width, and so every layout, stable.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    viewport()->setPalette(palette);
    viewport()->setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(kMiniHtmlMinimumHeight);
}

void THTMListBox::BeginUpdate() {
    ++updateLevel_;
}

void THTMListBox::EndUpdate() {
    if (updateLevel_ > 0 && --updateLevel_ == 0)
        itemsChanged();
}

void THTMListBox::Clear() {
    items_.clear();
    layouts_.clear();
    itemIndex_ = -1;
    hover_ = pressed_ = {};
    verticalScrollBar()->setValue(0);
    itemsChanged();
}

int THTMListBox::Count() const {
    return int(items_.size());
}

int THTMListBox::Add(const QString& markup) {
    items_.append(markup);
    layouts_.emplace_back();
    itemsChanged();
    return int(items_.size()) - 1;
}

QString THTMListBox::Item(int index) const {
    return items_.value(index);
}

void THTMListBox::SetItem(int index, const QString& markup) {
    if (index < 0 || index >= items_.size())
        return;
    items_[index] = markup;
    layouts_[size_t(index)].reset();
    itemsChanged();
}

void THTMListBox::Delete(int index) {
    if (index < 0 || index >= items_.size())
        return;
    items_.removeAt(index);
    layouts_.erase(layouts_.begin() + index);
    if (itemIndex_ >= Count())
        itemIndex_ = -1;
    hover_ = pressed_ = {};
    itemsChanged();
}

void THTMListBox::Assign(const QStringList& items) {
    items_ = items;
    layouts_.assign(size_t(items.size()), std::nullopt);
    itemIndex_ = -1;
    hover_ = pressed_ = {};
    itemsChanged();
}

int THTMListBox::ItemIndex() const {
    return itemIndex_;
}

void THTMListBox::SetItemIndex(int index) {
    itemIndex_ = index >= 0 && index < Count() ? index : -1;
}

int THTMListBox::ItemAtPos(QPoint pos, bool existingOnly) const {
    ensureGeometry();
    const int y = pos.y() + verticalScrollBar()->value();
    if (y < 0 || items_.isEmpty())
        return -1;
    if (y >= tops_.back())
        return existingOnly ? -1 : Count();
    const auto above = std::upper_bound(tops_.begin(), tops_.end(), y);
    return int(above - tops_.begin()) - 1;
}

QRect THTMListBox::ItemRect(int index) const {
    if (index < 0 || index >= Count())
        return {};
    ensureGeometry();
    return QRect(0, topOf(index) - verticalScrollBar()->value(), viewport()->width(), ItemHeight(index));
}

int THTMListBox::ItemHeight(int index) const {
    if (index < 0 || index >= Count())
        return 0;
    return layoutOf(index).height;
}

QString THTMListBox::AnchorAtPos(QPoint pos, int* index) const {
    const Hit hit = hitAt(pos);
    if (index)
        *index = hit.item;
    return hit.anchor < 0 ? QString() : layoutOf(hit.item).anchors.value(hit.anchor);
}

void THTMListBox::ScrollToItem(int index) {
    const QRect rect = ItemRect(index);
    if (rect.isNull())
        return;
    if (rect.top() < 0)
        verticalScrollBar()->setValue(topOf(index));
    else if (rect.bottom() >= viewport()->height())
        verticalScrollBar()->setValue(topOf(index) + rect.height() - viewport()->height());
}

int THTMListBox::AnchorCount(int index) const {
    if (index < 0 || index >= Count())
        return 0;
    return int(layoutOf(index).anchors.size());
}

QRect THTMListBox::AnchorRect(int index, int anchor) const {
    if (anchor < 0 || anchor >= AnchorCount(index))
        return {};
    QRect area;
    for (const MiniHtmlRun& run : layoutOf(index).runs)
        if (run.anchor == anchor)
            area |= run.rect;
    return area.translated(ItemRect(index).topLeft());
}

void THTMListBox::ClickAnchor(int index, int anchor) {
    if (anchor < 0 || anchor >= AnchorCount(index))
        return;
    const QString href = layoutOf(index).anchors.value(anchor);
    const bool outside = href.startsWith("http://", Qt::CaseInsensitive) ||
                         href.startsWith("https://", Qt::CaseInsensitive) ||
                         href.startsWith("mailto:", Qt::CaseInsensitive);
    if (outside && OpenUrl)
        OpenUrl(QUrl(href));
    emit AnchorClick(index, href);
}

void THTMListBox::PressItem(int index) {
    if (index < 0 || index >= Count())
        return;
    ScrollToItem(index);
    emit MouseDown(Qt::LeftButton, Qt::NoModifier, ItemRect(index).topLeft());
}

const MiniHtmlLayout& THTMListBox::layoutOf(int index) const {
    std::optional<MiniHtmlLayout>& cached = layouts_[size_t(index)];
    if (!cached || cached->width != layoutWidth())
        cached = LayOutMiniHtml(items_[index], layoutWidth(), font(),
                                [this](const QString& name) { return picture(name); });
    return *cached;
}

void THTMListBox::ensureGeometry() const {
    if (geometryValid_)
        return;
    tops_.resize(size_t(items_.size()) + 1);
    tops_[0] = 0;
    for (int i = 0; i < items_.size(); ++i)
        tops_[size_t(i) + 1] = tops_[size_t(i)] + layoutOf(i).height;
    geometryValid_ = true;
}

void THTMListBox::invalidateAll() {
    for (auto& layout : layouts_)
        layout.reset();
    geometryValid_ = false;
}

void THTMListBox::itemsChanged() {
    geometryValid_ = false;
    if (updateLevel_ > 0)
        return;
    updateScrollBar();
    viewport()->update();
}

void THTMListBox::updateScrollBar() {
    ensureGeometry();
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(std::max(viewport()->height(), 1));
    bar->setRange(0, std::max(tops_.back() - viewport()->height(), 0));
}

int THTMListBox::layoutWidth() const {
    return std::max(viewport()->width(), 1);
}

int THTMListBox::topOf(int index) const {
    ensureGeometry();
    return tops_[size_t(index)];
}

THTMListBox::Hit THTMListBox::hitAt(QPoint pos) const {
    const int item = ItemAtPos(pos);
    if (item < 0)
        return {};
    const QPoint inItem(pos.x(), pos.y() + verticalScrollBar()->value() - topOf(item));
    return {item, layoutOf(item).AnchorAt(inItem)};
}

void THTMListBox::setHover(Hit hit) {
    if (hit == hover_)
        return;
    if (hover_.item >= 0)
        viewport()->update(ItemRect(hover_.item));
    hover_ = hit;
    if (hover_.item >= 0)
        viewport()->update(ItemRect(hover_.item));
    viewport()->setCursor(hit.anchor >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

QPixmap THTMListBox::picture(const QString& name) const {
    return PictureContainer ? PictureContainer->Find(name) : QPixmap();
}

void THTMListBox::paintEvent(QPaintEvent* event) {
    if (updateLevel_ > 0)
        return;
    QPainter painter(viewport());
    const QRect area = event->rect();
    const int offset = verticalScrollBar()->value();
    const int first = std::max(ItemAtPos(QPoint(0, area.top())), 0);
    const auto lookup = [this](const QString& name) { return picture(name); };
    for (int i = first; i < Count(); ++i) {
        const int top = topOf(i) - offset;
        if (top > area.bottom())
            break;
        const MiniHtmlLayout& layout = layoutOf(i);
        if (layout.background.isValid())
            painter.fillRect(QRect(0, top, viewport()->width(), layout.height), layout.background);
        PaintMiniHtml(painter, layout, QPoint(0, top), font(), lookup, hover_.item == i ? hover_.anchor : -1);
    }
}

void THTMListBox::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    invalidateAll();
    if (updateLevel_ == 0)
        updateScrollBar();
}

void THTMListBox::scrollContentsBy(int, int) {
    hover_ = {};
    viewport()->update();
}

void THTMListBox::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    pressed_ = event->button() == Qt::LeftButton ? hitAt(pos) : Hit{};
    emit MouseDown(event->button(), event->modifiers(), pos);
}

void THTMListBox::mouseReleaseEvent(QMouseEvent* event) {
    const Hit released = event->button() == Qt::LeftButton ? hitAt(event->position().toPoint()) : Hit{};
    const Hit pressed = pressed_;
    pressed_ = {};
    if (released.anchor < 0 || !(released == pressed))
        return;
    ClickAnchor(released.item, released.anchor);
}

void THTMListBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    setHover(hitAt(pos));
    emit MouseMove(event->modifiers(), pos);
}

void THTMListBox::leaveEvent(QEvent* event) {
    setHover({});
    QAbstractScrollArea::leaveEvent(event);
}

void THTMListBox::keyPressEvent(QKeyEvent* event) {
    QScrollBar* bar = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Up:
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Down:
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_PageUp:
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_Home:
        bar->setValue(bar->minimum());
        break;
    case Qt::Key_End:
        bar->setValue(bar->maximum());
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void THTMListBox::contextMenuEvent(QContextMenuEvent* event) {
    if (PopupMenu)
        PopupMenu->exec(event->globalPos());
    else
        QAbstractScrollArea::contextMenuEvent(event);
}
