// Pictures leaving the program: the saved BMP file read back, a file that
// cannot be written, the checkerboard of two pictures and the screenshot of
// a window.
#include "MapExport.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QProgressBar>
#include <QTest>
#include <QWidget>

namespace {

QImage gradient(int width, int height, int blue)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb(x * 3 % 256, y * 5 % 256, blue));
    return image;
}

} // namespace

TEST(ExportFiles, SavedAsBmpWhateverTheExtensionAndReadBackPixelForPixel)
{
    TemporaryFolder folder;
    const QImage bitmap = gradient(123, 45, 9);
    for (const char* name : {"Схема проезда.bmp", "map.png", "map"}) {
        const QString fileName = QString::fromStdString(folder.file(name));
        SaveBitmap(bitmap, fileName);
        QFile file(fileName);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(file.read(2), QByteArray("BM")) << name;
        QImageReader reader(fileName);
        EXPECT_EQ(reader.format(), QByteArray("bmp")) << name;
        EXPECT_EQ(reader.read().convertToFormat(QImage::Format_RGB32), bitmap) << name;
    }
}

TEST(ExportFiles, SavingOverAnOlderFileReplacesIt)
{
    TemporaryFolder folder;
    const QString fileName = QString::fromStdString(folder.file("map.bmp"));
    SaveBitmap(gradient(300, 200, 1), fileName);
    SaveBitmap(gradient(20, 10, 2), fileName);
    EXPECT_EQ(QImage(fileName).convertToFormat(QImage::Format_RGB32), gradient(20, 10, 2));
}

TEST(ExportFiles, AFileThatCannotBeWrittenIsReportedInRussian)
{
    TemporaryFolder folder;
    const QString missingFolder = QString::fromStdString(folder.file("нет такой папки/map.bmp"));
    try {
        SaveBitmap(gradient(4, 4, 0), missingFolder);
        FAIL() << "no error";
    } catch (const ESaveError& error) {
        EXPECT_TRUE(QString::fromStdString(error.what()).startsWith("Не удалось сохранить рисунок в файл «"))
            << error.what();
        EXPECT_TRUE(QString::fromStdString(error.what()).contains(missingFolder));
    }
    // A folder in place of the file.
    EXPECT_THROW(SaveBitmap(gradient(4, 4, 0), QString::fromStdString(folder.path())), ESaveError);
}

TEST(ExportFiles, MixBmpIsACheckerboardOfTheSmallerSize)
{
    const QImage first = gradient(9, 4, 1);
    const QImage second = gradient(6, 7, 2);
    QProgressBar gauge;
    gauge.setRange(0, 1000);
    QImage result;
    MixBMP(first, second, result, &gauge);
    ASSERT_EQ(result.size(), QSize(6, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(result.pixel(x, y), ((x + y) % 2 == 0 ? first : second).pixel(x, y)) << x << "," << y;
    EXPECT_EQ(gauge.maximum(), 6);
    EXPECT_EQ(gauge.value(), 5) << "position of the last column";

    MixBMP(first, QImage(), result, nullptr);
    EXPECT_TRUE(result.isNull() || result.size().isEmpty());
}

TEST(ExportFiles, ScreenShotIsWhatTheWindowShowsAtTheControlsPlace)
{
    QWidget window;
    window.resize(300, 200);
    window.setStyleSheet("background: rgb(0, 128, 0)");
    auto* control = new QWidget(&window);
    control->setGeometry(40, 30, 120, 80);
    control->setStyleSheet("background: rgb(200, 20, 20)");
    control->setAttribute(Qt::WA_StyledBackground);
    window.setAttribute(Qt::WA_StyledBackground);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QImage shot = GetScreenShot(control);
    ASSERT_EQ(shot.size(), QSize(120, 80));
    EXPECT_EQ(shot.pixel(0, 0), qRgb(200, 20, 20));
    EXPECT_EQ(shot.pixel(119, 79), qRgb(200, 20, 20));

    // A window comes with its frame, if the platform draws one.
    const QImage whole = GetScreenShot(&window);
    const QPoint client = window.geometry().topLeft() - window.frameGeometry().topLeft();
    ASSERT_EQ(whole.size(), window.frameGeometry().size());
    EXPECT_EQ(whole.pixel(client + QPoint(5, 5)), qRgb(0, 128, 0));
    EXPECT_EQ(whole.pixel(client + QPoint(100, 70)), qRgb(200, 20, 20));
}
