#include "TSmallPreView.h"

#include "TDataMap.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// The overview leaves a thin white frame around the map.
constexpr double kOverviewFill = 0.94;
// The main map's rectangle never shrinks below this, so that it stays visible.
constexpr double kSmallestMarkPixels = 6;

} // namespace

TSmallPreView::TSmallPreView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
}

void TSmallPreView::setMap(TDataMap* map)
{
    if (map_ == map)
        return;
    disconnect(viewConnection_);
    map_ = map;
    overviewKey_ = {};
    if (map)
        viewConnection_ = connect(map, &TDataMap::viewChanged, this, qOverload<>(&QWidget::update));
    update();
}

Viewport TSmallPreView::overviewView() const
{
    Viewport view;
    view.setSize(size());
    const QRectF extent = map_ ? map_->model().extent() : QRectF();
    if (extent.isNull() || width() <= 0 || height() <= 0)
        return view;
    const double ppm = kOverviewFill * std::min(width() / std::max(extent.width(), 1.0),
                                                height() / std::max(extent.height(), 1.0));
    view.centreOn(extent.center().x(), extent.center().y(), ppm * kPixelsPerMetreUnit);
    return view;
}

QRectF TSmallPreView::mainViewRect() const
{
    if (!map_)
        return {};
    const Viewport overview = overviewView();
    const QRectF shown = map_->view().visibleMapRect();
    return QRectF(overview.mapToPixel(shown.left(), shown.bottom()), overview.mapToPixel(shown.right(), shown.top()))
        .normalized();
}

TSmallPreView::OverviewKey TSmallPreView::currentKey() const
{
    if (!map_)
        return {-1, {}, size()};
    return {map_->model().GetCount(), map_->model().extent(), size()};
}

void TSmallPreView::refreshOverview()
{
    const OverviewKey key = currentKey();
    if (key == overviewKey_ && !overview_.isNull())
        return;
    overviewKey_ = key;
    overview_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    overview_.fill(Qt::white);
    if (!map_ || map_->model().extent().isNull())
        return;
    // Only the map itself is drawn at its place in the control: the white
    // around it is the control's own background.
    const Viewport whole = overviewView();
    const MapModel& model = map_->model();
    const QRect placed = QRectF(whole.mapToPixel(model.extent().left(), model.extent().bottom()),
                                whole.mapToPixel(model.extent().right(), model.extent().top()))
                             .toAlignedRect()
                             .intersected(rect());
    Viewport view = whole;
    view.setSize(placed.size());
    const QPointF corner = whole.pixelToMap(placed.topLeft());
    view.SetXWind(corner.x());
    view.SetYWind(corner.y());
    // Points and labels would only speckle an overview; house numbers cannot be read.
    MapFilters filters;
    filters.enabled = true;
    for (const int type : {otStop, otRoadSign, otLabel})
        filters.massiv[static_cast<std::size_t>(type)] = false;
    MapOptions options;
    options.NumberDom = false;
    QPainter painter(&overview_);
    renderer_.render(RenderScene{model, nullptr, view, filters, options}, painter, placed);
}

void TSmallPreView::paintEvent(QPaintEvent*)
{
    refreshOverview();
    QPainter painter(this);
    painter.drawImage(QPointF(0, 0), overview_);
    if (!map_)
        return;
    QRectF mark = mainViewRect();
    if (mark.width() < kSmallestMarkPixels || mark.height() < kSmallestMarkPixels) {
        const QPointF centre = mark.center();
        mark = QRectF(centre.x() - kSmallestMarkPixels / 2, centre.y() - kSmallestMarkPixels / 2,
                      kSmallestMarkPixels, kSmallestMarkPixels);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xd0, 0x20, 0x20), 1.5));
    painter.setBrush(QColor(0xd0, 0x20, 0x20, 40));
    painter.drawRect(mark);
}

void TSmallPreView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        recentreAt(event->position());
}

void TSmallPreView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons().testFlag(Qt::LeftButton))
        recentreAt(event->position());
}

void TSmallPreView::recentreAt(QPointF pixel)
{
    if (!map_ || map_->model().extent().isNull())
        return;
    const QPointF target = overviewView().pixelToMap(pixel);
    map_->ViewXY(target.x(), target.y(), map_->GetScale());
}
