// Icon libraries: round trips, names without regard to case, and damaged
// blobs refused without touching what is already loaded.
#include "IconLibrary.h"

#include "SyntheticCity.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

QImage square(QColor colour, int side = 16)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(colour);
    return image;
}

} // namespace

TEST(IconLibrary, SavedLibraryLoadsBackWithTheSamePixels)
{
    const IconLibrary source = syntheticIcons();
    QByteArray blob = source.save("icons.lib");
    ASSERT_FALSE(blob.isEmpty());
    QBuffer stream(&blob);
    stream.open(QIODevice::ReadOnly);

    IconLibrary loaded;
    ASSERT_TRUE(loaded.AddLibFromStream(stream).ok());
    EXPECT_EQ(loaded.libraries(), QStringList{"ICONS.LIB"});
    EXPECT_EQ(loaded.iconNames("ICONS.LIB"), (QStringList{"OK.BMP", "SIGN.BMP", "STOP.BMP"}));
    const QImage* ok = loaded.find("Icons.Lib", "ok.bmp");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->convertToFormat(QImage::Format_ARGB32),
              source.find("ICONS.LIB", "OK.BMP")->convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(loaded.find("ICONS.LIB", "NONE.BMP"), nullptr);
    EXPECT_EQ(loaded.find("OTHER.LIB", "OK.BMP"), nullptr);
    EXPECT_TRUE(source.save("OTHER.LIB").isEmpty());
}

TEST(IconLibrary, ALaterLibraryOfTheSameNameAddsAndReplacesIcons)
{
    IconLibrary first;
    first.addIcon("ICONS.LIB", "OK.BMP", square(Qt::red));
    first.addIcon("ICONS.LIB", "STOP.BMP", square(Qt::blue));
    IconLibrary second;
    second.addIcon("icons.lib", "ok.bmp", square(Qt::green));

    IconLibrary merged;
    ASSERT_TRUE(merged.addLibrary(first.save("ICONS.LIB")).ok());
    ASSERT_TRUE(merged.addLibrary(second.save("ICONS.LIB")).ok());
    EXPECT_EQ(merged.find("ICONS.LIB", "OK.BMP")->pixelColor(3, 3), QColor(Qt::green));
    EXPECT_EQ(merged.find("ICONS.LIB", "STOP.BMP")->pixelColor(3, 3), QColor(Qt::blue));
}

TEST(IconLibrary, DamagedBlobsChangeNothing)
{
    IconLibrary library;
    library.addIcon("ICONS.LIB", "OK.BMP", square(Qt::red));
    const QByteArray good = syntheticIcons().save("ICONS.LIB");

    EXPECT_EQ(library.addLibrary(QByteArray("not an icon library")).error(), "Это не библиотека значков");
    for (int length = 0; length < good.size(); length += length + 16 < good.size() ? 5 : 1)
        EXPECT_FALSE(library.addLibrary(good.left(length)).ok()) << length;
    EXPECT_EQ(library.iconNames("ICONS.LIB"), QStringList{"OK.BMP"});
    EXPECT_EQ(library.find("ICONS.LIB", "OK.BMP")->pixelColor(0, 0), QColor(Qt::red));
}

TEST(IconLibrary, HugePicturesAreRefused)
{
    IconLibrary huge;
    huge.addIcon("BIG.LIB", "WALL.BMP", square(Qt::gray, 2000));
    IconLibrary library;
    const Status added = library.addLibrary(huge.save("BIG.LIB"));
    EXPECT_EQ(added.error(), "Библиотека значков повреждена: значок «WALL.BMP» не читается");
    EXPECT_TRUE(library.libraries().isEmpty());
}
