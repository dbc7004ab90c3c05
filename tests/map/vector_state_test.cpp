// The engine clears the upper halves of the vector registers that the
// painter's fills leave in use, where its own drawing starts: in a writer
// of pixels made after a fill, and in a kept thread given new work after
// work that filled. Left in use, they slow every SSE instruction after them.
#include "FrameWorkers.h"
#include "RenderPixels.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cpuid.h>
#include <immintrin.h>

namespace {

// Whether the processor tells which parts of its register state are in use.
bool stateInUseReadable()
{
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx) || !(ecx & bit_OSXSAVE) || !(ecx & bit_AVX))
        return false;
    return __get_cpuid_count(0xd, 1, &eax, &ebx, &ecx, &edx) && (eax & (1u << 2)); // XGETBV with ECX = 1
}

__attribute__((target("xsave"))) bool upperHalvesInUse()
{
    constexpr unsigned long long kUpperHalves = 1u << 2; // the AVX component of the register state
    return (_xgetbv(1) & kUpperHalves) != 0;
}

void fillWithPainter(QImage& image)
{
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(0xf2, 0xef, 0xe9));
}

class VectorState : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!stateInUseReadable())
            GTEST_SKIP() << "the processor does not tell whether the upper halves are in use";
        QImage probe(512, 512, QImage::Format_ARGB32_Premultiplied);
        fillWithPainter(probe);
        if (!upperHalvesInUse())
            GTEST_SKIP() << "this Qt's fill leaves the upper halves clear here";
    }
};

TEST_F(VectorState, AWriterMadeAfterAPainterFillFindsTheUpperHalvesCleared)
{
    QImage image(512, 512, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(0xf2, 0xef, 0xe9));
    ASSERT_TRUE(upperHalvesInUse());
    const PixelWriter pixels(painter, image.rect());
    EXPECT_FALSE(upperHalvesInUse());
    EXPECT_TRUE(pixels.direct());
}

TEST_F(VectorState, AKeptThreadStartsEachPieceOfWorkWithTheUpperHalvesCleared)
{
    FrameWorkers workers(1);
    bool dirtiedByTheFirst = false;
    workers
        .run([&] {
            QImage image(512, 512, QImage::Format_ARGB32_Premultiplied);
            fillWithPainter(image);
            dirtiedByTheFirst = upperHalvesInUse();
        })
        .get();
    ASSERT_TRUE(dirtiedByTheFirst);
    bool inUseAtTheSecond = true;
    workers.run([&] { inUseAtTheSecond = upperHalvesInUse(); }).get();
    EXPECT_FALSE(inUseAtTheSecond);
}

} // namespace
