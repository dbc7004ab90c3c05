#include "RenderBands.h"

#include "FrameWorkers.h"

#include <QImage>
#include <QTransform>

#include <algorithm>
#include <chrono>
#include <future>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Below this many pixels a frame is drawn by one thread: a second one costs
// its start and the objects along the seams drawn twice, which a small
// frame does not win back.
constexpr qint64 kPixelsForASecondThread = qint64{1920} * 1080 / 4;
constexpr int kMostThreads = 4;

QImage* plainImage(const QPainter& painter)
{
    auto* image = dynamic_cast<QImage*>(painter.device());
    if (!image || image->devicePixelRatio() != 1)
        return nullptr;
    const QImage::Format format = image->format();
    const bool plain = format == QImage::Format_ARGB32_Premultiplied || format == QImage::Format_RGB32 ||
                       format == QImage::Format_ARGB32;
    return plain ? image : nullptr;
}

// Where painter coordinates land on the image: a shift by whole pixels, or
// nothing when the painter turns, scales or shifts by part of a pixel.
std::optional<QPoint> wholePixelShift(const QPainter& painter)
{
    const QTransform& transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate)
        return std::nullopt;
    const QPoint shift(qRound(transform.dx()), qRound(transform.dy()));
    if (shift.x() != transform.dx() || shift.y() != transform.dy())
        return std::nullopt;
    return shift;
}

// The rows [top, bottom) of the image, in image coordinates, drawn as a
// frame of their own over the same memory; returns them in painter coordinates.
QRect drawBand(const RenderFrame& whole, uchar* bits, const QImage& image, QPoint shift, int top, int bottom,
               const std::function<void(RenderFrame& band)>& draw, VisibleByType& lists)
{
    QImage rows(bits + qsizetype{top} * image.bytesPerLine(), image.width(), bottom - top, image.bytesPerLine(),
                image.format());
    QPainter painter(&rows);
    painter.setRenderHints(whole.painter.renderHints());
    painter.setTransform(QTransform::fromTranslate(shift.x(), shift.y() - top));
    const QRect band =
        QRect(0, top, image.width(), bottom - top).translated(-shift).intersected(whole.pixels.toAlignedRect());
    painter.setClipRect(band);
    RenderFrame frame(whole, painter, band, std::move(lists));
    draw(frame);
    lists = std::move(frame.visible);
    return band;
}

} // namespace

int bandThreadsFor(const QPainter& painter, const QRect& target)
{
    const QImage* image = plainImage(painter);
    const std::optional<QPoint> shift = wholePixelShift(painter);
    if (!image || !shift || painter.hasClipping() || painter.opacity() != 1 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return 1;
    const QRect shown = target.translated(*shift).intersected(image->rect());
    if (qint64{shown.width()} * shown.height() < kPixelsForASecondThread)
        return 1;
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMostThreads);
}

QRect drawInBands(const RenderFrame& whole, int threads, const BandWork& work, std::vector<VisibleByType>& bandLists,
                  BandBalance& balance)
{
    QImage& image = *plainImage(whole.painter);
    const QPoint shift = *wholePixelShift(whole.painter);
    const QRect shown = whole.pixels.toAlignedRect().translated(shift).intersected(image.rect());
    // Taken once, here: bits() may detach the image, which only this thread may do.
    uchar* const bits = image.bits();
    const int bands = std::min(threads, shown.height());
    if (bandLists.size() < static_cast<std::size_t>(bands))
        bandLists.resize(static_cast<std::size_t>(bands));
    const std::vector<int> cuts = balance.cuts(shown.top(), shown.height(), bands);
    std::vector<BandBalance::BandTime> times(static_cast<std::size_t>(bands));
    using Clock = std::chrono::steady_clock;
    const Clock::time_point started = Clock::now();
    const auto drawOne = [&](int band, const std::function<void(RenderFrame& band)>& draw) {
        const auto index = static_cast<std::size_t>(band);
        const Clock::time_point begun = Clock::now();
        const QRect drawn = drawBand(whole, bits, image, shift, cuts[index], cuts[index + 1], draw, bandLists[index]);
        const Clock::time_point ended = Clock::now();
        times[index] = {std::chrono::duration<double>(begun - started).count(),
                        std::chrono::duration<double>(ended - begun).count()};
        return drawn;
    };
    // Each thread its own band, the calling thread the last: the cuts
    // learnt from the frame before are for those very starts.
    std::vector<std::future<void>> helpers;
    for (int band = 0; band + 1 < bands; ++band)
        helpers.push_back(FrameWorkers::shared().run([&drawOne, &work, band] { drawOne(band, work.ground); }));
    work.alongside();
    const QRect own = drawOne(bands - 1, [&work](RenderFrame& band) {
        work.ground(band);
        if (work.overOwnBand)
            work.overOwnBand(band);
    });
    for (std::future<void>& helper : helpers)
        helper.get();
    balance.learn(cuts, times);
    return own;
}
