// Banners from a tiny edition: LoadBan's three cases, the click binding, the
// error report of a picture that is no JPEG, and the rotation of the main
// window's two slots.
#include "BannerRotation.h"
#include "DataErrors.h"
#include "Datamodule.h"
#include "LoadBan.h"
#include "TBannerImage.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The centre of the picture a banner shows, to tell banners apart by colour.
QColor shownColour(const TBannerImage& image)
{
    const QImage& picture = image.Picture();
    return picture.pixelColor(picture.width() / 2, picture.height() / 2);
}

bool near(QColor a, QColor b)
{
    return std::abs(a.red() - b.red()) < 12 && std::abs(a.green() - b.green()) < 12 &&
           std::abs(a.blue() - b.blue()) < 12;
}

class Banners : public ::testing::Test {
protected:
    void openWith(const std::function<void(TinyEdition&)>& fill)
    {
        TinyEdition edition(folder.file("plain.sqlite"));
        fill(edition);
        edition.sealAs(folder.file(MapFiles[1]), 1);
        ASSERT_TRUE(dm.OpenEdition(1));
        DM = &dm;
    }

    void TearDown() override
    {
        DM = nullptr;
        SetBannerClickHandler(nullptr);
        SetBannerErrorReporter(nullptr);
    }

    TemporaryFolder folder;
    CurrentFolder here{folder.path()};
    TDM dm;
    TBannerImage image;
};

} // namespace

TEST_F(Banners, MissingRowLeavesTheSlotAsItWas)
{
    openWith([](TinyEdition& e) { e.addContent(14, jpegOf(Qt::red), 7); });
    const QImage placeholder = TBannerImage::Placeholder({200, 200});
    image.resize(200, 200);
    image.SetPicture(placeholder);
    image.Tag = 3;
    image.setCursor(Qt::CrossCursor);
    bool clicked = false;
    image.OnClick = [&](TBannerImage*) { clicked = true; };

    LoadBan(13, &image);

    EXPECT_EQ(image.Picture(), placeholder);
    EXPECT_EQ(image.Tag, 3);
    EXPECT_EQ(image.cursor().shape(), Qt::CrossCursor);
    ASSERT_TRUE(image.OnClick);
    image.OnClick(&image);
    EXPECT_TRUE(clicked);
}

TEST_F(Banners, RowWithPictureShowsItAndBindsTheFirmAndTheClick)
{
    openWith([](TinyEdition& e) {
        e.addContent(13, jpegOf(Qt::blue), 42);
        e.addContent(13, jpegOf(Qt::green), 43);
    });
    std::vector<int> clickedTags;
    SetBannerClickHandler([&](TBannerImage* banner) { clickedTags.push_back(banner->Tag); });
    image.resize(200, 200);
    image.SetPicture(TBannerImage::Placeholder({200, 200}));

    LoadBan(13, &image);

    EXPECT_TRUE(near(shownColour(image), Qt::blue)) << "the first row of the code";
    EXPECT_EQ(image.Picture().size(), QSize(40, 30));
    EXPECT_EQ(image.Tag, 42);
    EXPECT_EQ(image.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(&image, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(clickedTags, std::vector<int>{42});
}

TEST_F(Banners, NullDataClearsPictureTagCursorAndClick)
{
    openWith([](TinyEdition& e) { e.addContent(15, QByteArray(), 9); });
    image.SetPicture(TBannerImage::Placeholder({200, 200}));
    image.Tag = 5;
    image.setCursor(Qt::PointingHandCursor);
    image.OnClick = [](TBannerImage*) { FAIL() << "a cleared banner has no click"; };

    LoadBan(15, &image);

    EXPECT_FALSE(image.HasPicture());
    EXPECT_EQ(image.pixmap().isNull(), true);
    EXPECT_EQ(image.Tag, 0);
    EXPECT_EQ(image.cursor().shape(), Qt::ArrowCursor);
    EXPECT_FALSE(image.OnClick);
    QSignalSpy pressed(&image, &TBannerImage::MouseDown);
    QTest::mouseClick(&image, Qt::LeftButton, {}, {5, 5});
    EXPECT_EQ(pressed.count(), 1) << "a press still reaches the window that holds the banner";
}

TEST_F(Banners, ADamagedPictureIsSkippedAndReportedOncePerSession)
{
    openWith([](TinyEdition& e) {
        e.addContent(21, jpegOf(Qt::red), 1);
        e.addContent(25, QByteArray("GIF89a not really"), 77);
        e.addText(35, "12");
    });
    SetBannerClickHandler([](TBannerImage*) {});
    QStringList reports;
    SetBannerErrorReporter([&](const QString& message) { reports << message; });
    TBannerImage top, bottom;
    TBannerRotation rotation(&top, &bottom);
    rotation.StartBanTimer();

    for (int tick = 0; tick < 2 * int(kTopBannerCycle.size()); ++tick) {
        rotation.tBanFrontTRTimer();
        if (rotation.TopTag() == 25) {
            EXPECT_EQ(top.Tag, 1) << "the damaged banner is skipped: the previous one stays";
            EXPECT_TRUE(near(shownColour(top), Qt::red));
        }
    }
    EXPECT_EQ(reports, QStringList{BannerDecodeErrorText(25)}) << "one report for two rounds of the cycle";

    SetBannerErrorReporter([&](const QString& message) { reports << message; });
    LoadBan(25, &top);
    EXPECT_EQ(reports.size(), 2) << "the next session tells it again";
}

TEST_F(Banners, WithoutReporterABadPictureRaisesAndLeavesTheSlot)
{
    openWith([](TinyEdition& e) { e.addContent(17, QByteArray(10, 'x'), 8); });
    image.Tag = 3;
    EXPECT_THROW(LoadBan(17, &image), EInvalidGraphic);
    EXPECT_EQ(image.Tag, 3);
}

TEST_F(Banners, WithoutAnOpenEditionNothingChanges)
{
    image.Tag = 4;
    LoadBan(13, &image);
    EXPECT_EQ(image.Tag, 4);
}

TEST(BannerImage, LargePicturesAreFittedSmallOnesShownAsTheyAre)
{
    TBannerImage image;
    image.resize(200, 60);
    QImage wide(800, 120, QImage::Format_RGB32);
    wide.fill(Qt::red);
    image.SetPicture(wide);
    EXPECT_EQ(image.pixmap().size(), QSize(200, 30));
    QImage small(50, 20, QImage::Format_RGB32);
    small.fill(Qt::red);
    image.SetPicture(small);
    EXPECT_EQ(image.pixmap().size(), QSize(50, 20));
}

TEST(BannerImage, ClickNeedsPressAndReleaseInside)
{
    TBannerImage image;
    image.resize(100, 100);
    int clicks = 0;
    image.OnClick = [&](TBannerImage*) { ++clicks; };
    QTest::mousePress(&image, Qt::LeftButton, {}, {10, 10});
    QTest::mouseRelease(&image, Qt::LeftButton, {}, {150, 10});
    EXPECT_EQ(clicks, 0) << "released outside";
    QTest::mouseClick(&image, Qt::RightButton, {}, {10, 10});
    EXPECT_EQ(clicks, 0);
    QTest::mouseClick(&image, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(clicks, 1);
}

TEST(BannerCycle, TagsWalkTheirCycleAndWrap)
{
    std::vector<int> top{21};
    for (int i = 0; i < 6; ++i)
        top.push_back(NextBannerTag(top.back(), kTopBannerCycle));
    EXPECT_EQ(top, (std::vector<int>{21, 25, 27, 29, 31, 33, 21}));
    std::vector<int> bottom{22};
    for (int i = 0; i < 6; ++i)
        bottom.push_back(NextBannerTag(bottom.back(), kBottomBannerCycle));
    EXPECT_EQ(bottom, (std::vector<int>{22, 26, 28, 30, 32, 34, 22}));
    EXPECT_EQ(NextBannerTag(23, kTopBannerCycle), 23) << "a tag outside the cycle stays";
    EXPECT_EQ(NextBannerTag(22, kTopBannerCycle), 22);
}

TEST(BannerCycle, IntervalsInMilliseconds)
{
    EXPECT_EQ(BannerIntervalMs(7), 7000);
    EXPECT_EQ(BannerIntervalMs(0), 0);
    EXPECT_EQ(BannerIntervalMs(-5), 0);
    EXPECT_EQ(BannerIntervalMs(3'000'000), 2'147'483'000) << "held by a timer, no overflow";
}

TEST_F(Banners, RotationStartsFromItems35And36AndAdvancesEachSlot)
{
    openWith([](TinyEdition& e) {
        e.addText(35, "12");
        e.addText(36, "30");
        e.addContent(21, jpegOf(Qt::red), 1);
        e.addContent(25, jpegOf(Qt::green), 2);
        e.addContent(29, jpegOf(Qt::blue), 4);
        e.addContent(33, QByteArray(), 6);
        e.addContent(22, jpegOf(Qt::yellow), 11);
    });
    TBannerImage top, bottom;
    TBannerRotation rotation(&top, &bottom);
    rotation.StartBanTimer();

    EXPECT_EQ(rotation.tBanFrontTR.interval(), 12000);
    EXPECT_EQ(rotation.tBanFrontBR.interval(), 30000);
    EXPECT_TRUE(rotation.tBanFrontTR.isActive());
    EXPECT_TRUE(rotation.tBanFrontBR.isActive());
    EXPECT_EQ(rotation.TopTag(), 21);
    EXPECT_EQ(rotation.BottomTag(), 22);
    EXPECT_EQ(top.Tag, 1);
    EXPECT_EQ(bottom.Tag, 11);

    rotation.tBanFrontTRTimer();
    EXPECT_EQ(rotation.TopTag(), 25);
    EXPECT_EQ(top.Tag, 2);
    EXPECT_TRUE(near(shownColour(top), Qt::green));

    rotation.tBanFrontTRTimer();
    EXPECT_EQ(rotation.TopTag(), 27);
    EXPECT_EQ(top.Tag, 2) << "no row for 27: the previous banner stays";
    EXPECT_TRUE(near(shownColour(top), Qt::green));

    rotation.tBanFrontTRTimer();
    rotation.tBanFrontTRTimer();
    rotation.tBanFrontTRTimer();
    EXPECT_EQ(rotation.TopTag(), 33);
    EXPECT_FALSE(top.HasPicture()) << "a null row clears the slot";
    EXPECT_EQ(top.Tag, 0);

    rotation.tBanFrontTRTimer();
    EXPECT_EQ(rotation.TopTag(), 21) << "wraps to the first";
    EXPECT_EQ(top.Tag, 1);

    rotation.tBanFrontBRTimer();
    EXPECT_EQ(rotation.BottomTag(), 26);
    EXPECT_EQ(bottom.Tag, 11);

    rotation.StopBanTimers();
    EXPECT_FALSE(rotation.tBanFrontTR.isActive());
    EXPECT_FALSE(rotation.tBanFrontBR.isActive());
}

TEST_F(Banners, RotationWithoutIntervalsKeepsTheFirstBanners)
{
    openWith([](TinyEdition& e) {
        e.addContent(36, QByteArray());
        e.addContent(21, jpegOf(Qt::red), 1);
    });
    TBannerImage top, bottom;
    TBannerRotation rotation(&top, &bottom);
    rotation.StartBanTimer();
    EXPECT_FALSE(rotation.tBanFrontTR.isActive()) << "row 35 missing";
    EXPECT_FALSE(rotation.tBanFrontBR.isActive()) << "row 36 null";
    EXPECT_EQ(top.Tag, 1);
}

TEST_F(Banners, RotationTimerFiresThroughTheEventLoop)
{
    openWith([](TinyEdition& e) {
        e.addText(35, "1");
        e.addContent(21, jpegOf(Qt::red), 1);
        e.addContent(25, jpegOf(Qt::green), 2);
    });
    TBannerImage top, bottom;
    TBannerRotation rotation(&top, &bottom);
    rotation.StartBanTimer();
    rotation.tBanFrontTR.setInterval(20); // a second is too long to wait for in a test
    EXPECT_TRUE(QTest::qWaitFor([&] { return top.Tag == 2; }, 2000));
}

TEST_F(Banners, NonNumericIntervalFallsBackToTheDefaultAndIsReportedOnce)
{
    openWith([](TinyEdition& e) {
        e.addText(35, "десять");
        e.addText(36, "30");
        e.addContent(21, jpegOf(Qt::red), 1);
    });
    QStringList reports;
    SetBannerErrorReporter([&](const QString& message) { reports << message; });
    TBannerImage top, bottom;
    TBannerRotation rotation(&top, &bottom);
    rotation.StartBanTimer();

    EXPECT_TRUE(rotation.tBanFrontTR.isActive());
    EXPECT_EQ(rotation.tBanFrontTR.interval(), 15000);
    EXPECT_EQ(rotation.tBanFrontBR.interval(), 30000);
    EXPECT_EQ(top.Tag, 1) << "the first banners are loaded";
    EXPECT_EQ(reports, QStringList{"Интервал смены баннеров (пункт 35 издания) не число: «десять». "
                                   "Баннеры сменяются раз в 15 секунд."});
    rotation.tBanFrontTRTimer();
    EXPECT_EQ(reports.size(), 1);
}
