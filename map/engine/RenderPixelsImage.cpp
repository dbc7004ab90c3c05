// Icons written straight into the frame.
#include "RenderPixels.h"

#include "RenderPixelsBlend.h"

#include <cstdint>

#include <emmintrin.h>

namespace {

// A premultiplied pixel laid over another: what shows through is what its
// alpha leaves, each channel rounded as the painter rounds it.
QRgb sourceOver(QRgb source, QRgb under) { return source + mixOpaque(0, under, qAlpha(source)); }

// The same for four pixels side by side.
__m128i sourceOverFour(__m128i sources, __m128i unders)
{
    return _mm_add_epi8(sources, mixOpaqueFour(_mm_setzero_si128(), unders, _mm_srli_epi32(sources, 24)));
}

} // namespace

void PixelWriter::blendImage(QPointF topLeft, const QImage& image)
{
    // The painter puts an image at a position between pixels on the nearest
    // pixel of the image, a half rounded away from zero.
    const QPointF onImage = topLeft + QPointF(shift_);
    const QPoint at(qRound(onImage.x()), qRound(onImage.y()));
    const QRect placed = QRect(at, image.size()).intersected(bounds_);
    const int width = placed.width();
    for (int y = placed.top(); y <= placed.bottom(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(image.constScanLine(y - at.y())) + (placed.left() - at.x());
        QRgb* row = reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(y) * stride_) + placed.left();
        int x = 0;
        for (; x + 4 <= width; x += 4) {
            const __m128i sources = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
            auto* unders = reinterpret_cast<__m128i*>(row + x);
            _mm_storeu_si128(unders, sourceOverFour(sources, _mm_loadu_si128(unders)));
        }
        for (; x < width; ++x)
            row[x] = sourceOver(source[x], row[x]);
    }
}
