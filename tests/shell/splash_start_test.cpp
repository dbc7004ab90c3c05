// The splash on a tiny edition: its shape, the first activation's work (the
// banners, the secondary windows in their order, the gauge), its running
// once, and the ways it ends.
#include "Datamodule.h"
#include "LoadBan.h"
#include "SplashArt.h"
#include "TBannerImage.h"
#include "TestEnvironment.h"
#include "TOrvLink.h"
#include "TfrmStart.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include "TfrmAbout.h"
#include "TfrmArticle.h"
#include "TfrmFriends.h"
#include "TfrmMiniMap.h"
#include "TfrmPrintPreView.h"
#include "TfrmProgress.h"
#include "TfrmPublish.h"
#include "TfrmSendErrReport.h"
#include "TfrmSendNote.h"
#include "TfrmSettings.h"

#include <QBuffer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The secondary windows, in the order the splash must create them.
std::vector<QWidget*> secondaryWindows()
{
    return {frmMiniMap, frmArticle, frmProgress, frmFriends, frmAbout,
            frmPrintPreView, frmSettings, frmSendErrReport, frmSendNote, frmPublish};
}

template <typename Window>
void destroy(Window*& window)
{
    delete window;
    window = nullptr;
}

int createdCount()
{
    int count = 0;
    for (QWidget* window : secondaryWindows())
        count += window != nullptr;
    return count;
}

class Splash : public ::testing::Test {
protected:
    void SetUp() override
    {
        TinyEdition edition(folder.file("plain.sqlite"));
        edition.addContent(13, jpegOf(Qt::red, {60, 60}), 101);
        edition.addContent(14, jpegOf(Qt::green, {60, 60}), 102);
        edition.addContent(15, QByteArray(), 103);
        edition.sealAs(folder.file(MapFiles[1]), 1);
        ASSERT_TRUE(dm.OpenEdition(1));
        DM = &dm;
        Actived = false;
    }

    void TearDown() override
    {
        destroy(frmMiniMap);
        destroy(frmArticle);
        destroy(frmProgress);
        destroy(frmFriends);
        destroy(frmAbout);
        destroy(frmPrintPreView);
        destroy(frmSettings);
        destroy(frmSendErrReport);
        destroy(frmSendNote);
        destroy(frmPublish);
        destroy(frmStart);
        Actived = false;
        DM = nullptr;
    }

    // Runs RunSplash; `whenReady` acts on the splash once its first
    // activation has done its work. A watchdog ends a splash that hangs.
    bool runSplash(const std::function<void()>& whenReady)
    {
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (frmStart && frmStart->isVisible() && Actived) {
                poll.stop();
                whenReady();
            }
        });
        poll.start();
        QTimer::singleShot(10000, [&] {
            watchdogFired = true;
            if (frmStart)
                frmStart->reject();
        });
        return RunSplash();
    }

    TemporaryFolder folder;
    CurrentFolder here{folder.path()};
    TDM dm;
    bool watchdogFired = false;
};

} // namespace

TEST(SplashRegion, RowRunsLeaveOutYellowPixels)
{
    QImage picture(6, 3, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int y = 0; y < 3; ++y)
        picture.setPixelColor(0, y, kSplashTransparent);
    picture.setPixelColor(3, 1, kSplashTransparent);
    picture.setPixelColor(5, 2, kSplashTransparent);
    picture.setPixelColor(4, 0, QColor(255, 254, 0)); // almost yellow is opaque

    const QRegion region = OpaqueRegion(picture, kSplashTransparent);

    QRegion expected;
    expected += QRect(1, 0, 5, 1);
    expected += QRect(1, 1, 2, 1);
    expected += QRect(4, 1, 2, 1);
    expected += QRect(1, 2, 4, 1);
    EXPECT_EQ(region, expected);
    EXPECT_FALSE(region.contains(QPoint(0, 1))) << "the left column is cut out";
}

TEST(SplashRegion, AllYellowGivesNoRegion)
{
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(kSplashTransparent);
    EXPECT_TRUE(OpaqueRegion(picture, kSplashTransparent).isEmpty());
}

TEST(SplashRegion, TheSplashPictureIsCutOutAtCornersAndSkyOnly)
{
    const QImage picture = SplashPicture();
    ASSERT_EQ(picture.size(), QSize(474, 610));
    const QRegion region = OpaqueRegion(picture, kSplashTransparent);
    EXPECT_FALSE(region.contains(QPoint(0, 0)));
    EXPECT_FALSE(region.contains(QPoint(473, 300)));
    EXPECT_FALSE(region.contains(QPoint(5, 605))) << "sky left of the first tower";
    for (const QPoint inside : {QPoint(237, 30), QPoint(30, 80), QPoint(445, 495), QPoint(33, 516), QPoint(424, 538)})
        EXPECT_TRUE(region.contains(inside)) << inside.x() << "," << inside.y();
}

TEST_F(Splash, WindowIsShapedFromItsPicture)
{
    frmStart = new TfrmStart;
    EXPECT_EQ(frmStart->size(), QSize(474, 610));
    EXPECT_EQ(frmStart->mask(), OpaqueRegion(SplashPicture(), kSplashTransparent));
    EXPECT_TRUE(frmStart->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(frmStart->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(frmStart->lVersion->text().startsWith("Версия: "));
    EXPECT_GT(frmStart->lVersion->text().size(), QString("Версия: ").size()) << "the package's own version";
    EXPECT_EQ(frmStart->lDescription->text(), "Информационно-коммерческий справочник Вариндел");
    EXPECT_EQ(frmStart->btContinue->text(), "Продолжить");
    EXPECT_TRUE(frmStart->btContinue->font().bold());

    QImage clear(10, 10, QImage::Format_RGB32);
    clear.fill(kSplashTransparent);
    frmStart->ImgRegion->setPixmap(QPixmap::fromImage(clear));
    frmStart->SetRegion();
    EXPECT_TRUE(frmStart->mask().isEmpty()) << "no opaque pixel: the full rectangle";
}

TEST_F(Splash, FirstActivationLoadsBannersAndCreatesTheWindowsInOrder)
{
    int gaugeAtEnd = -1;
    int tagTL = -1, tagTR = -1, tagBL = -1, tagBR = -1;
    const bool wentOn = runSplash([&] {
        gaugeAtEnd = frmStart->pb->value();
        tagTL = frmStart->ImgBanFrontTL->Tag;
        tagTR = frmStart->ImgBanFrontTR->Tag;
        tagBL = frmStart->ImgBanFrontBL->Tag;
        tagBR = frmStart->ImgBanFrontBR->Tag;
        QTest::mouseClick(frmStart->btContinue, Qt::LeftButton);
    });

    EXPECT_FALSE(watchdogFired);
    EXPECT_TRUE(wentOn);
    EXPECT_EQ(gaugeAtEnd, 100);
    EXPECT_EQ(createdCount(), 10);
    EXPECT_EQ(tagTL, 101);
    EXPECT_EQ(tagTR, 102);
    EXPECT_EQ(tagBL, 0) << "null data clears the slot";
    EXPECT_EQ(tagBR, 0) << "no row: the placeholder stays, no firm";
    EXPECT_TRUE(frmStart->ImgBanFrontBR->HasPicture());
    EXPECT_FALSE(frmStart->ImgBanFrontBL->HasPicture());
    EXPECT_FALSE(frmStart->isVisible()) << "hidden, not destroyed";
}

TEST_F(Splash, WindowsAppearInTheirOrder)
{
    frmStart = new TfrmStart;
    std::vector<std::vector<bool>> presentAtStep;
    QObject::connect(frmStart->pb, &QProgressBar::valueChanged, [&](int value) {
        if (value == 0)
            return;
        std::vector<bool> present;
        for (QWidget* window : secondaryWindows())
            present.push_back(window != nullptr);
        presentAtStep.push_back(present);
    });
    frmStart->FormActivate();
    EXPECT_EQ(frmStart->pb->value(), 100);
    ASSERT_EQ(presentAtStep.size(), 10u) << "ten steps of 10";
    for (std::size_t step = 0; step < 10; ++step)
        for (std::size_t window = 0; window < 10; ++window)
            EXPECT_EQ(presentAtStep[step][window], window <= step) << "step " << step << ", window " << window;
}

TEST_F(Splash, ActivatingAgainDoesNothingTwice)
{
    frmStart = new TfrmStart;
    frmStart->FormActivate();
    const std::vector<QWidget*> first = secondaryWindows();
    frmStart->ImgBanFrontTL->Tag = 555;
    frmStart->pb->setValue(40);

    frmStart->FormActivate();
    QEvent activation(QEvent::ActivationChange);
    QApplication::sendEvent(frmStart, &activation);

    EXPECT_EQ(secondaryWindows(), first);
    EXPECT_EQ(frmStart->ImgBanFrontTL->Tag, 555) << "the banners are not reloaded";
    EXPECT_EQ(frmStart->pb->value(), 40);
}

TEST_F(Splash, BannerPressGoesOnEvenWithoutData)
{
    int clicks = 0;
    SetBannerClickHandler([&](TBannerImage*) { ++clicks; });
    const bool wentOn = runSplash([] { QTest::mousePress(frmStart->ImgBanFrontBL, Qt::LeftButton, {}, {20, 20}); });
    SetBannerClickHandler(nullptr);
    EXPECT_FALSE(watchdogFired);
    EXPECT_TRUE(wentOn);
    EXPECT_EQ(clicks, 0);
}

TEST_F(Splash, PressOnALoadedBannerGoesOn)
{
    const bool wentOn = runSplash([] { QTest::mousePress(frmStart->ImgBanFrontTR, Qt::LeftButton, {}, {20, 20}); });
    EXPECT_FALSE(watchdogFired);
    EXPECT_TRUE(wentOn);
}

TEST_F(Splash, EnterPressesContinueAndEscapeIsIgnored)
{
    bool visibleAfterEscape = false;
    const bool wentOn = runSplash([&] {
        QTest::keyClick(frmStart, Qt::Key_Escape);
        visibleAfterEscape = frmStart->isVisible();
        QTest::keyClick(frmStart, Qt::Key_Return);
    });
    EXPECT_FALSE(watchdogFired);
    EXPECT_TRUE(visibleAfterEscape);
    EXPECT_TRUE(wentOn);
}

TEST_F(Splash, ClosedByTheSystemMeansTheProgramEnds)
{
    const bool wentOn = runSplash([] { frmStart->close(); });
    EXPECT_FALSE(watchdogFired);
    EXPECT_FALSE(wentOn);
    ASSERT_NE(frmStart, nullptr) << "the splash stays for the main window's destruction";
}

// The splash as a user meets it: the first key, Enter, goes on with
// "Продолжить" rather than opening the site, and the version never runs into
// the description, however long it is.
namespace {

// Apart, with at least a few pixels of white between them, and inside the row.
void ExpectApart(const TfrmStart& splash, const QString& version)
{
    const QRect left = splash.lVersion->geometry();
    const QRect right = splash.lDescription->geometry();
    EXPECT_GE(right.left() - left.right(), 4) << version.toStdString();
    EXPECT_EQ(left.top(), right.top()) << "one row";
    EXPECT_LE(right.right(), splash.width() - 20) << "inside the window's outline";
    EXPECT_GT(right.width(), 100) << "the description stays readable";
}

} // namespace

TEST_F(Splash, EnterOnTheShownSplashPressesContinueNotTheSiteLink)
{
    frmStart = new TfrmStart;
    bool linkOpened = false;
    QObject::connect(frmStart->lVarindelnet, &TOrvLink::LinkClicked, [&] { linkOpened = true; });
    frmStart->show();
    // Only the button may take the key: the link would start a browser.
    ASSERT_EQ(frmStart->focusWidget(), frmStart->btContinue) << "the keyboard starts on \"Продолжить\"";
    QTest::keyClick(frmStart->focusWidget(), Qt::Key_Return);
    EXPECT_EQ(frmStart->result(), QDialog::Accepted);
    EXPECT_FALSE(frmStart->isVisible());
    EXPECT_FALSE(linkOpened);
}

TEST_F(Splash, TabFromContinueReachesTheSiteLink)
{
    frmStart = new TfrmStart;
    QWidget* next = frmStart->btContinue->nextInFocusChain();
    while (next != frmStart->btContinue && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    EXPECT_EQ(next, frmStart->lVarindelnet);
}

TEST_F(Splash, VersionAndDescriptionNeverTouchAtAnyVersionLength)
{
    frmStart = new TfrmStart;
    ExpectApart(*frmStart, frmStart->lVersion->text());
    for (const QString& version : {QString("Версия: 1.0.0.0"), QString("Версия: 2026.12.31.65535"),
                                   QString("Версия: 1.0.0.0-сборка-для-проверки-очень-длинной-строки"),
                                   QString("Версия: ") + QString(200, QChar('9'))}) {
        frmStart->SetVersionText(version);
        EXPECT_EQ(frmStart->lVersion->text(), version);
        EXPECT_EQ(frmStart->lDescription->text(), "Информационно-коммерческий справочник Вариндел");
        ExpectApart(*frmStart, version);
    }
    frmStart->SetVersionText("Версия: 1");
    EXPECT_EQ(frmStart->lDescription->x(), 116) << "a short version leaves the description at its place";
}
