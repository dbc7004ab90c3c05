#include "MapEngine.h"

#include "IconLibrary.h"
#include "MapFormat.h"

#include <QBuffer>
#include <QCollator>
#include <QLocale>
#include <QPainter>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {
// The share of the view the whole map takes after "show all".
constexpr double kShowAllMargin = 0.95;
} // namespace

MapEngine::MapEngine() = default;

// --- Loading ---------------------------------------------------------------

Status MapEngine::LoadFromStream(QIODevice& stream, bool /*ask*/, int /*mode*/)
{
    // A whole buffer is read in place: a large city's map is tens of
    // megabytes, and a copy of it would only raise the peak of the load.
    if (auto* buffer = qobject_cast<QBuffer*>(&stream); buffer && buffer->isReadable() && buffer->pos() == 0) {
        buffer->seek(buffer->size());
        return LoadFromData(buffer->data());
    }
    return LoadFromData(stream.readAll());
}

Status MapEngine::LoadFromData(const QByteArray& blob)
{
    QString attribution;
    Result<MapModel> loaded = readMapFile(blob, &attribution);
    if (!loaded)
        return Status::failure(loaded.error());
    setModel(std::move(loaded).value());
    attribution_ = attribution;
    if (options_.AllMapAfterLoad)
        showAll();
    return success();
}

void MapEngine::SetRoute(std::vector<MapPoint> line)
{
    route_ = std::move(line);
    changed();
}

void MapEngine::setModel(MapModel model)
{
    model_ = std::move(model);
    attribution_.clear();
    route_.clear();
    current_ = {};
    currentIndex_ = -1;
    appending_ = false;
    measurement_.clear();
    changed();
}

// --- Object list -------------------------------------------------------------

int MapEngine::FindObjectID(std::int32_t id, int /*mode*/) const { return model_.FindObjectID(id); }

bool MapEngine::EditObject(int index)
{
    if (model_.isDeleted(index))
        return false;
    current_ = model_.object(index);
    currentIndex_ = index;
    appending_ = false;
    changed();
    return true;
}

void MapEngine::AppendObject()
{
    current_ = {};
    currentIndex_ = -1;
    appending_ = true;
}

void MapEngine::DetailPutZametka(const TPMXMapZametka& detail)
{
    current_.Zametka = detail;
    current_.Zametka->LibName.truncate(kLongestLibraryName);
}

bool MapEngine::PostObject()
{
    current_.House.truncate(kLongestHouse);
    if (appending_) {
        currentIndex_ = model_.append(current_);
        appending_ = false;
    } else if (!model_.replace(currentIndex_, current_)) {
        return false;
    }
    current_ = model_.object(currentIndex_);
    changed();
    return true;
}

bool MapEngine::DeleteObject(int index, bool /*confirm*/)
{
    if (!model_.remove(index))
        return false;
    if (index == currentIndex_) {
        current_ = {};
        currentIndex_ = -1;
    }
    changed();
    return true;
}

void MapEngine::GetStreetList(QStringList& list) const
{
    QSet<QString> streets;
    for (int i = 0; i < model_.GetCount(); ++i)
        if (!model_.isDeleted(i) && !model_.object(i).Street.isEmpty())
            streets.insert(model_.object(i).Street);
    list = QStringList(streets.begin(), streets.end());
    QCollator collator(QLocale(QLocale::Russian, QLocale::Russia));
    std::sort(list.begin(), list.end(), collator);
}

// --- View --------------------------------------------------------------------

void MapEngine::setViewSize(QSize size)
{
    view_.setSize(size);
    changed();
}

void MapEngine::SetScale(double scale)
{
    const QSize size = view_.size();
    zoomAbout(scale, QPointF(size.width() / 2.0, size.height() / 2.0));
}

void MapEngine::zoomAbout(double scale, QPointF pixel)
{
    view_.SetScaleAbout(scale, pixel);
    scaleChanged();
}

void MapEngine::SetXWind(double x)
{
    view_.SetXWind(x);
    changed();
}

void MapEngine::SetYWind(double y)
{
    view_.SetYWind(y);
    changed();
}

void MapEngine::TransKoordToMap(double& x, double& y) const
{
    const QPointF map = view_.pixelToMap(QPointF(x, y));
    x = map.x();
    y = map.y();
}

void MapEngine::TransKoordToMap(float& x, float& y) const
{
    const QPointF map = view_.pixelToMap(QPointF(x, y));
    x = static_cast<float>(map.x());
    y = static_cast<float>(map.y());
}

double MapEngine::GetMouseX() const { return view_.pixelToMap(mousePixel_).x(); }
double MapEngine::GetMouseY() const { return view_.pixelToMap(mousePixel_).y(); }

void MapEngine::ViewXY(double x, double y, double scale)
{
    view_.centreOn(x, y, scale);
    scaleChanged();
}

void MapEngine::showAll()
{
    const QRectF extent = model_.extent();
    if (model_.GetCount() == 0)
        return;
    const QSize size = view_.size();
    double scale = view_.GetScale();
    if (extent.width() > 0 && extent.height() > 0 && !size.isEmpty()) {
        const double pixelsPerMetre =
            kShowAllMargin * std::min(size.width() / extent.width(), size.height() / extent.height());
        scale = pixelsPerMetre * kPixelsPerMetreUnit;
    }
    ViewXY(extent.center().x(), extent.center().y(), scale);
}

// --- Redraw ------------------------------------------------------------------

void MapEngine::EnablePaint()
{
    if (paintDisabled_ > 0)
        --paintDisabled_;
    if (paintDisabled_ == 0 && OnInvalidate)
        OnInvalidate();
}

void MapEngine::Risovan()
{
    if (ForceRedraw)
        ++contentVersion_;
    if (paintEnabled() && OnInvalidate)
        OnInvalidate();
}

void MapEngine::changed()
{
    ++contentVersion_;
    if (paintEnabled() && OnInvalidate)
        OnInvalidate();
}

void MapEngine::scaleChanged()
{
    changed();
    if (OnChangeScale)
        OnChangeScale();
}

// --- Fly -----------------------------------------------------------------------

void MapEngine::startFly(double x, double y, double scale, double pace)
{
    const double widthPixels = std::max(1, view_.size().width());
    const QPointF centre = view_.centre();
    const FlyView from{centre.x(), centre.y(), widthPixels / view_.pixelsPerMetre()};
    Viewport target = view_;
    target.SetScale(scale);
    const FlyView to{x, y, widthPixels / target.pixelsPerMetre()};
    FlyPath path(from, to);
    fly_ = Flight{path, flyDurationSeconds(path.length(), pace), x, y, target.GetScale()};
}

bool MapEngine::advanceFly(double elapsedSeconds)
{
    if (!fly_)
        return true;
    const double t = fly_->duration > 0 ? elapsedSeconds / fly_->duration : 1;
    if (t < 1) {
        applyFlyView(fly_->path.at(t));
        scaleChanged();
        return false;
    }
    // The last step lands exactly on what was asked, free of rounding.
    const Flight flight = *fly_;
    fly_.reset();
    ViewXY(flight.targetX, flight.targetY, flight.targetScale);
    return true;
}

void MapEngine::applyFlyView(const FlyView& view)
{
    const double widthPixels = std::max(1, view_.size().width());
    view_.centreOn(view.x, view.y, widthPixels / view.width * kPixelsPerMetreUnit);
}

// --- Filters and options -----------------------------------------------------

void MapEngine::SetFilter(bool on)
{
    filters_.enabled = on;
    changed();
}

void MapEngine::SetFilterMassiv(int type, bool on)
{
    if (type < 0 || type >= static_cast<int>(filters_.massiv.size()))
        return;
    filters_.massiv[type] = on;
    changed();
}

void MapEngine::SetFilterKateg(int type, bool on)
{
    if (type < 0 || type >= static_cast<int>(filters_.kateg.size()))
        return;
    filters_.kateg[type] = on;
    changed();
}

void MapEngine::SetStepLinza(double step) { options_.StepLinza = step; }

double MapEngine::lensFactor() const { return options_.StepLinza > 1 ? options_.StepLinza : 2; }

void MapEngine::SetView3D(bool on)
{
    options_.View3D = on;
    changed();
}

void MapEngine::SetMpNumberDom(bool on)
{
    options_.NumberDom = on;
    changed();
}

void MapEngine::SetmpNumberDomSizeFont(int size)
{
    // A font of no size cannot be drawn; the smallest one still can.
    options_.NumberDomSizeFont = std::max(1, size);
    changed();
}

// --- Drawing -------------------------------------------------------------------

RenderScene MapEngine::scene() const
{
    std::vector<MapPoint> measureLine = measurement_.points();
    if (measurement_.active() && instrument_ == inMeasure) {
        // The line follows the cursor to where the next click would put a point.
        const QPointF cursor = view_.pixelToMap(mousePixel_);
        measureLine.push_back({static_cast<float>(cursor.x()), static_cast<float>(cursor.y())});
    }
    return RenderScene{model_,         &icons_,   view_, filters_, options_, OnPaintObject, OnPaintPolyLineEvent,
                       std::move(measureLine), zoomBox_, attribution_, route_};
}

void MapEngine::paint(QPainter& painter, const QRect& target)
{
    if (!paintEnabled())
        return;
    renderer_.render(scene(), painter, target);
    ForceRedraw = false;
}

QImage MapEngine::picture()
{
    QImage image(view_.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer_.render(scene(), painter, image.rect());
    return image;
}
