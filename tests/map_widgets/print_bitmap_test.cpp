// BitmapPrint's arithmetic (natural size, shrinking to the page, centring),
// a job of several copies as pages of one PDF file, the empty-bitmap
// assertion, and the print preview's size and place.
#include "MapExport.h"
#include "PrintPreviewLayout.h"
#include "TestEnvironment.h"
#include "print_support.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPrinter>

namespace {

QImage pictureFramedTopAndBottom(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(30, 60, 200));
    for (int x = 0; x < width; ++x) {
        image.setPixel(x, 0, qRgb(200, 0, 0));
        image.setPixel(x, height - 1, qRgb(200, 0, 0));
    }
    return image;
}

} // namespace

TEST(PrintBitmap, FittingBitmapPrintsAtItsPhysicalSizeCentred)
{
    // 960 x 480 screen pixels at 96 ppi are 10 x 5 inches: 3000 x 1500 dots
    // at 300 dpi on a page of 3300 x 2400 dots.
    EXPECT_EQ(BitmapPrintRect({960, 480}, {3300, 2400}, 300, 300, 96, true, true, true),
              QRect(150, 450, 3000, 1500));
    EXPECT_EQ(BitmapPrintRect({960, 480}, {3300, 2400}, 300, 300, 96, true, true, false), QRect(0, 0, 3000, 1500));
    // Enlarged to the page only when asked to.
    EXPECT_EQ(BitmapPrintRect({960, 480}, {3300, 2400}, 300, 300, 96, true, false, true),
              QRect(0, 375, 3300, 1650));
    // Different dots per inch across and down.
    EXPECT_EQ(BitmapPrintRect({96, 96}, {1000, 1000}, 300, 600, 96, true, true, true), QRect(350, 200, 300, 600));
}

TEST(PrintBitmap, LargerBitmapShrinksByTheSmallerPageRatio)
{
    // 1920 x 960 at 96 ppi on 300 dpi: 6000 x 3000 dots against 2400 x 3300:
    // across 0.4, down 1.1, so 0.4: 2400 x 1200, centred down the page.
    EXPECT_EQ(BitmapPrintRect({1920, 960}, {2400, 3300}, 300, 300, 96, true, true, true),
              QRect(0, 1050, 2400, 1200));
    // Enlarged by 1000 / 3 across; the size is truncated, never more than the page.
    const QRect odd = BitmapPrintRect({3, 1}, {1000, 1000}, 96, 96, 96, true, false, true);
    EXPECT_LE(odd.width(), 1000);
    EXPECT_GE(odd.width(), 999);
    EXPECT_EQ(odd.left(), (1000 - odd.width()) / 2);
    // Not fitted: printed at physical size even where it overflows.
    EXPECT_EQ(BitmapPrintRect({1920, 960}, {2400, 3300}, 300, 300, 96, false, true, true),
              QRect(-1800, 150, 6000, 3000));
}

TEST(PrintBitmap, EmptyBitmapIsTheCallersFault)
{
    QPrinter printer;
    try {
        BitmapPrint(printer, QImage(), 1, true, true, true, 96, "Схема проезда");
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& error) {
        EXPECT_STREQ(error.what(), "BitmapPrint: bitmap is empty. (utils\\VdlUtils, line 97)");
    }
    QLabel empty;
    EXPECT_THROW(ImagePrint(empty, 1, true, true, true, 96, "Схема проезда"), EAssertionFailed);
}

TEST(PrintBitmap, CopiesArePagesOfOneJobAndTheTitleIsTheDocumentName)
{
    TemporaryFolder folder;
    const QString pdf = QString::fromStdString(folder.file("job.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::A4));
    ASSERT_TRUE(BitmapPrint(printer, pictureFramedTopAndBottom(384, 192), 3, true, true, true, 96, "Схема проезда"));
    EXPECT_EQ(printer.docName(), "Схема проезда");
    ASSERT_EQ(PdfPageCount(pdf), 3);

    // 384 x 192 screen pixels are 4 x 2 inches: 200 x 100 pixels at 50 dpi,
    // in the middle of the printable area.
    const QImage page = RenderPdfPage(pdf, 3, 50);
    ASSERT_FALSE(page.isNull());
    const QRect ink = InkBounds(page);
    EXPECT_NEAR(ink.width(), 200, 2);
    EXPECT_NEAR(ink.height(), 100, 2);
    const QRectF printable = printer.pageLayout().paintRectPoints();
    const QPointF middle = printable.center() * 50.0 / 72.0;
    EXPECT_NEAR(ink.center().x(), middle.x(), 2);
    EXPECT_NEAR(ink.center().y(), middle.y(), 2);

    printer.setOutputFileName(QString::fromStdString(folder.file("one.pdf")));
    ASSERT_TRUE(BitmapPrint(printer, pictureFramedTopAndBottom(20, 20), 0, true, true, true, 96, "Схема проезда"));
    EXPECT_EQ(PdfPageCount(QString::fromStdString(folder.file("one.pdf"))), 1) << "0 copies print one";
}

TEST(PrintBitmap, AJobThatCannotStartGivesFalse)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName("/nonexistent-folder-for-varindel/job.pdf");
    EXPECT_FALSE(BitmapPrint(printer, pictureFramedTopAndBottom(10, 10), 2, true, true, true, 96, "Схема проезда"));
}

TEST(PrintPreviewPlacement, ClientIsThePictureWithThePanelsCentredOnTheScreen)
{
    const QRect screen(0, 0, 1600, 1000);
    const PreviewGeometry placed = PreviewPlacement({801, 500}, {10, 31}, screen, screen);
    EXPECT_EQ(placed.client, QSize(801, 500 + 67 + 51));
    // (1600 - 811) div 2 = 394; (1000 - 649) div 2 = 175.
    EXPECT_EQ(placed.frameTopLeft, QPoint(394, 175));
    // A second screen to the right.
    EXPECT_EQ(PreviewPlacement({801, 500}, {10, 31}, screen.translated(1600, 0), screen.translated(1600, 0))
                  .frameTopLeft,
              QPoint(1994, 175));
}

TEST(PrintPreviewPlacement, NarrowPictureKeepsThePanelsReadableAndHugeOneStaysOnScreen)
{
    const QRect screen(0, 0, 1600, 1000);
    EXPECT_EQ(PreviewPlacement({50, 40}, {0, 0}, screen, screen).client.width(), kPreviewMinimumWidth);
    const QRect available(0, 30, 1600, 940);
    const PreviewGeometry huge = PreviewPlacement({2000, 1200}, {10, 31}, screen, available);
    EXPECT_EQ(huge.client, QSize(1590, 909));
    EXPECT_EQ(huge.frameTopLeft, QPoint(0, 30));
}
