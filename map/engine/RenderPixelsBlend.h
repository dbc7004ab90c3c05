// Writing pixels of an opaque colour into the frame's image: runs of them
// whole, and each by the share of it a shape covers. Shared by the fills
// and the strokes PixelWriter draws straight into the frame.
#pragma once

#include <QRgb>

#include <cstdint>

#include <emmintrin.h>

// The smaller and the larger of two doubles, an instruction each: GCC
// compiles std::min, std::max and std::clamp of doubles into branches,
// which the loops over rows and pixels mispredict.
inline double lesserOf(double a, double b) { return _mm_cvtsd_f64(_mm_min_sd(_mm_set_sd(a), _mm_set_sd(b))); }
inline double greaterOf(double a, double b) { return _mm_cvtsd_f64(_mm_max_sd(_mm_set_sd(a), _mm_set_sd(b))); }

// The coverage 0..255 of a pixel by a share of it, held to 0..1.
inline std::uint32_t coverageOf(double share)
{
    // The share is held to be positive, where adding a half rounds right;
    // lround would be a call in the loops over the pixels.
    // NOLINTNEXTLINE(bugprone-incorrect-roundings)
    return static_cast<std::uint32_t>(lesserOf(greaterOf(share, 0.0), 1.0) * 255 + 0.5);
}

// A run of pixels set to one colour, four at a time: at -O2 the compiler
// writes std::fill's 32-bit values one by one, and the inside of roads and
// areas is most of the pixels a frame writes.
inline void fillPixels(QRgb* from, QRgb* to, QRgb pixel)
{
    if (to - from < 4) {
        for (; from < to; ++from)
            *from = pixel;
        return;
    }
    const __m128i four = _mm_set1_epi32(static_cast<int>(pixel));
    for (; to - from > 4; from += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(from), four);
    // The last four end with the run, over some already written: a loop
    // over the one to three left would end in a branch mispredicted as often
    // as not.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to - 4), four);
}

// An opaque colour laid over an opaque pixel with coverage 0..255: the
// colour itself at 255, the pixel as it was at 0.
inline QRgb mixOpaque(QRgb colour, QRgb under, std::uint32_t coverage)
{
    const std::uint32_t rest = 255 - coverage;
    std::uint32_t redBlue = (colour & 0xff00ff) * coverage + (under & 0xff00ff) * rest;
    redBlue = ((redBlue + ((redBlue >> 8) & 0xff00ff) + 0x800080) >> 8) & 0xff00ff;
    std::uint32_t alphaGreen = ((colour >> 8) & 0xff00ff) * coverage + ((under >> 8) & 0xff00ff) * rest;
    alphaGreen = (alphaGreen + ((alphaGreen >> 8) & 0xff00ff) + 0x800080) & 0xff00ff00;
    return alphaGreen | redBlue;
}

// mixOpaque for four pixels side by side, each with its coverage in a
// 32-bit lane: the same sums per channel, eight of them at a time.
inline __m128i mixOpaqueFour(__m128i colour, __m128i under, __m128i coverage)
{
    // Each pixel's coverage in the 16-bit lanes of its four channels.
    const __m128i narrowed = _mm_packs_epi32(coverage, coverage);
    const __m128i paired = _mm_unpacklo_epi16(narrowed, narrowed);
    const auto mixTwo = [](__m128i colourChannels, __m128i underChannels, __m128i cover) {
        const __m128i rest = _mm_sub_epi16(_mm_set1_epi16(255), cover);
        const __m128i sum = _mm_add_epi16(_mm_mullo_epi16(colourChannels, cover), _mm_mullo_epi16(underChannels, rest));
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(sum, _mm_srli_epi16(sum, 8)), _mm_set1_epi16(0x80)), 8);
    };
    const __m128i zero = _mm_setzero_si128();
    return _mm_packus_epi16(
        mixTwo(_mm_unpacklo_epi8(colour, zero), _mm_unpacklo_epi8(under, zero), _mm_unpacklo_epi32(paired, paired)),
        mixTwo(_mm_unpackhi_epi8(colour, zero), _mm_unpackhi_epi8(under, zero), _mm_unpackhi_epi32(paired, paired)));
}
