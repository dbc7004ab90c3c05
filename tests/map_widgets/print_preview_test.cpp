// The print preview against a CUPS scheduler of the test's own: no printer
// at all, and three copies printed through a cups-pdf queue into one PDF
// file of three pages with the picture in the middle of each.
#include "MapExport.h"
#include "PrintPreviewLayout.h"
#include "TfrmPrintPreView.h"
#include "print_cups_server.h"
#include "print_support.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSet>
#include <QSpinBox>
#include <QTest>

#include <memory>

namespace {

QImage pictureFramedLeftAndRight(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(qRgb(30, 60, 200));
    for (int y = 0; y < height; ++y) {
        image.setPixel(0, y, qRgb(200, 0, 0));
        image.setPixel(width - 1, y, qRgb(200, 0, 0));
    }
    return image;
}

QSet<QString> PdfFilesIn(const QString& folder)
{
    const QStringList names = QDir(folder).entryList({"*.pdf"}, QDir::Files);
    return {names.begin(), names.end()};
}

class PrintPreviewWithCups : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = std::make_unique<PrivateCupsServer>(); }
    static void TearDownTestSuite() { server_.reset(); }
    void SetUp() override
    {
        if (!server_->failure().isEmpty())
            GTEST_SKIP() << "no CUPS scheduler of our own: " << server_->failure().toStdString();
    }
    static std::unique_ptr<PrivateCupsServer> server_;
};

std::unique_ptr<PrivateCupsServer> PrintPreviewWithCups::server_;

} // namespace

TEST_F(PrintPreviewWithCups, WithoutPrintersItSaysSoAndCannotPrintButShowsThePicture)
{
    server_->removeQueue("PDF");
    TfrmPrintPreView preview;
    ASSERT_EQ(preview.cbPrinters->count(), 1);
    EXPECT_EQ(preview.cbPrinters->currentText(), "В системе принтеры не установлены");
    EXPECT_FALSE(preview.btPrint->isEnabled());
    EXPECT_FALSE(preview.HasPrinters());

    preview.SetPicture(pictureFramedLeftAndRight(500, 300));
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    EXPECT_EQ(preview.imgPreView->pixmap().size(), QSize(500, 300));
    EXPECT_EQ(preview.size(), QSize(500, 300 + kPreviewSettingsHeight + kPreviewButtonsHeight));
    preview.btPrint->click();
    EXPECT_TRUE(preview.isVisible()) << "a disabled button does nothing";
    preview.btCancel->click();
    EXPECT_FALSE(preview.isVisible());
    EXPECT_EQ(preview.result(), QDialog::Rejected);
}

TEST_F(PrintPreviewWithCups, ThreeCopiesMakeOneJobOfThreePagesWithThePictureCentred)
{
    ASSERT_TRUE(server_->addPdfQueue("PDF"));
    const QString out = CupsPdfOutputFolder();
    const bool outExisted = QDir(out).exists();
    const QSet<QString> before = PdfFilesIn(out);

    TfrmPrintPreView preview;
    ASSERT_TRUE(preview.HasPrinters());
    EXPECT_EQ(preview.cbPrinters->currentText(), "PDF");
    EXPECT_EQ(preview.seCopies->minimum(), 1);
    EXPECT_EQ(preview.seCopies->maximum(), 999);
    EXPECT_EQ(preview.seCopies->value(), 1);
    preview.seCopies->setValue(3);
    preview.SetPicture(pictureFramedLeftAndRight(384, 192));
    preview.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    preview.btPrint->click();
    EXPECT_EQ(preview.result(), QDialog::Accepted);
    EXPECT_EQ(Printer().printerName(), "PDF");
    EXPECT_EQ(preview.seCopies->value(), 3) << "kept for the next print";

    ASSERT_TRUE(server_->waitUntilIdle(60000)) << "the job did not finish";
    QStringList made;
    for (const QString& name : PdfFilesIn(out) - before)
        made << QDir(out).filePath(name);
    ASSERT_EQ(made.size(), 1) << "one job, one file in " << out.toStdString();
    const QString pdf = made.constFirst();

    const int pages = PdfPageCount(pdf);
    const QSizeF paper = PdfPageSize(pdf);
    const QImage page = RenderPdfPage(pdf, 2, 50);
    for (const QString& file : made)
        QFile::remove(file);
    if (!outExisted)
        QDir().rmdir(out);

    EXPECT_EQ(pages, 3);
    ASSERT_FALSE(page.isNull());
    // 384 x 192 screen pixels are 4 x 2 inches, 200 x 100 pixels at 50 dpi.
    const QRect ink = InkBounds(page);
    EXPECT_NEAR(ink.width(), 200, 3);
    EXPECT_NEAR(ink.height(), 100, 3);
    const QPointF middle(paper.width() * 50 / 72 / 2, paper.height() * 50 / 72 / 2);
    EXPECT_NEAR(ink.center().x(), middle.x(), 4);
    EXPECT_NEAR(ink.center().y(), middle.y(), 4);
}
