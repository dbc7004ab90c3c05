// The stamped map picture: where the logo and caption land, which stamp
// pixels are copied, the program's own stamps, and the map control's picture
// stamped by GetBitmap.
#include "MapExport.h"
#include "TDataMap.h"
#include "TfrmProgress.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QTimer>

namespace {

constexpr QRgb kMap = 0xFF336699;
constexpr QRgb kInk = 0xFFAA0000;

QImage filled(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A stamp whose pixels tell where they came from: white on even diagonals
// (left out), otherwise a colour made of the stamp coordinates.
QImage numberedStamp(int width, int height)
{
    QImage stamp(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            stamp.setPixel(x, y, (x + y) % 2 == 0 ? 0xFFFFFFFF : qRgb(x, y, 7));
    return stamp;
}

// Every pixel of the map compared with what stamping should leave there.
void expectStampedAt(const QImage& stamped, const QImage& stamp, QPoint corner, QRgb background)
{
    for (int y = 0; y < stamped.height(); ++y)
        for (int x = 0; x < stamped.width(); ++x) {
            const QPoint inStamp(x - corner.x(), y - corner.y());
            QRgb expected = background;
            if (stamp.rect().contains(inStamp) && stamp.pixel(inStamp) != 0xFFFFFFFF)
                expected = stamp.pixel(inStamp);
            ASSERT_EQ(stamped.pixel(x, y), expected) << "at " << x << "," << y;
        }
}

} // namespace

TEST(ExportStamps, PositionsRoundHalvesToEven)
{
    // 500 x 350 map, 100 x 99 logo: 100 - 50 = 50, 70 - 49.5 = 20.5 -> 20.
    EXPECT_EQ(LogoPosition({500, 350}, {100, 99}), QPoint(50, 20));
    // 35 / 5 - 49.5 = -42.5 -> -42; 5 / 5 - 49.5 = -48.5 -> -48.
    EXPECT_EQ(LogoPosition({5, 35}, {100, 99}), QPoint(-49, -42));
    EXPECT_EQ(LogoPosition({0, 5}, {100, 99}), QPoint(-50, -48));
    // Caption 206 x 61 on 700 x 700: 350 - 103 = 247; 700 - 100 - 30.5 = 569.5 -> 570.
    EXPECT_EQ(CaptionPosition({700, 700}, {206, 61}), QPoint(247, 570));
    // On 7 x 14: 3.5 - 103 = -99.5 -> -100; 14 - 2 - 30.5 = -18.5 -> -18.
    EXPECT_EQ(CaptionPosition({7, 14}, {206, 61}), QPoint(-100, -18));
    // 200.5 - 103 = 97.5 -> 98; 300 - 42.857 - 30.5 = 226.64 -> 227.
    EXPECT_EQ(CaptionPosition({401, 300}, {206, 61}), QPoint(98, 227));
}

TEST(ExportStamps, StampCopiesAllButWhiteAndClipsAtTheEdges)
{
    const QImage stamp = numberedStamp(10, 8);
    for (const QPoint corner : {QPoint(3, 2), QPoint(-4, -3), QPoint(15, 10), QPoint(-20, 0), QPoint(0, 30)}) {
        QImage map = filled(20, 14, kMap);
        StampBitmap(map, stamp, corner);
        SCOPED_TRACE(QString("corner %1,%2").arg(corner.x()).arg(corner.y()).toStdString());
        expectStampedAt(map, stamp, corner, kMap);
    }
}

TEST(ExportStamps, MapSmallerThanTheStampGetsOnlyThePartInside)
{
    const QImage stamp = numberedStamp(100, 99);
    QImage map = filled(6, 5, kMap);
    const QPoint corner = LogoPosition(map.size(), stamp.size()); // (-49, -48)
    StampBitmap(map, stamp, corner);
    expectStampedAt(map, stamp, corner, kMap);
    EXPECT_EQ(map.pixel(0, 0), qRgb(49, 48, 7)); // stamp pixel (49, 48)
    EXPECT_EQ(map.pixel(1, 0), kMap);            // stamp pixel (50, 48) is white
}

TEST(ExportStamps, StampedBitmapPutsLogoAndCaptionOnACopy)
{
    const QImage picture = filled(640, 480, kMap);
    QImage logo = filled(100, 99, 0xFFFFFFFF);
    logo.setPixel(0, 0, kInk);
    logo.setPixel(99, 98, kInk);
    QImage caption = filled(206, 61, 0xFFFFFFFF);
    caption.setPixel(0, 0, kInk);
    caption.setPixel(205, 60, kInk);

    const QImage stamped = StampedBitmap(picture, logo, caption);
    EXPECT_EQ(stamped.format(), QImage::Format_RGB32);
    // Logo at round(128 - 50), round(96 - 49.5) = (78, 46); caption at
    // (217, round(480 - 68.57 - 30.5)) = (217, 381).
    EXPECT_EQ(stamped.pixel(78, 46), kInk);
    EXPECT_EQ(stamped.pixel(177, 144), kInk);
    EXPECT_EQ(stamped.pixel(217, 381), kInk);
    EXPECT_EQ(stamped.pixel(422, 441), kInk);
    EXPECT_EQ(stamped.pixel(79, 46), kMap);
    EXPECT_EQ(picture.pixel(78, 46), kMap);
}

TEST(ExportStamps, TheProgramsStampsHaveTheirSizesAndWhiteAround)
{
    const QImage logo = LoadStamp("VDLLOGO");
    const QImage caption = LoadStamp("VDLCAPT");
    EXPECT_EQ(logo.size(), QSize(100, 99));
    EXPECT_EQ(caption.size(), QSize(206, 61));
    EXPECT_EQ(logo.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(caption.pixel(100, 30) & 0xFFFFFF, 0xFFFFFFu) << "between the lines";
    EXPECT_THROW(LoadStamp("VDLNONE"), std::runtime_error);
}

TEST(ExportStamps, GetBitmapStampsTheMapAsShownAndTellsTheProgressWindow)
{
    TDataMap map;
    map.resize(500, 400);
    map.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&map));
    TfrmProgress progress;
    frmProgress = &progress;
    bool eventsServed = false;
    QTimer::singleShot(0, [&] { eventsServed = true; });

    const QImage bitmap = GetBitmap(map);
    frmProgress = nullptr;

    EXPECT_EQ(progress.windowTitle(), "Предпросмотр");
    EXPECT_EQ(progress.lCont->text(), "Обработка изображения");
    EXPECT_TRUE(eventsServed);
    const QImage expected = StampedBitmap(map.Picture(), LoadStamp("VDLLOGO"), LoadStamp("VDLCAPT"));
    EXPECT_EQ(bitmap, expected);
    EXPECT_NE(bitmap, map.Picture().convertToFormat(QImage::Format_RGB32));
}
