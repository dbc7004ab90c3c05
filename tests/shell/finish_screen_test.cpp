// The closing screen: it returns from its constructor when "Спасибо" is
// pressed (also by Enter) or the tick limit is reached, counts ticks of
// 100 ms meanwhile without keeping the processor busy, and shows the
// closing banners.
#include "Datamodule.h"
#include "TBannerImage.h"
#include "TestEnvironment.h"
#include "TfrmFinish.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <utility>

namespace {

// The closing screen while its constructor runs (frmFinish is not set yet).
TfrmFinish* showingFinish()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* finish = qobject_cast<TfrmFinish*>(widget); finish && finish->isVisible())
            return finish;
    return nullptr;
}

// Runs `action` on the closing screen `afterMs` after it appeared; a
// watchdog presses "Спасибо" after 10 s so that a broken wait fails instead of hanging.
class FinishRun {
public:
    void at(int afterMs, std::function<void(TfrmFinish*)> action)
    {
        QTimer::singleShot(afterMs, [action = std::move(action)] {
            if (TfrmFinish* finish = showingFinish())
                action(finish);
        });
    }

    std::unique_ptr<TfrmFinish> run()
    {
        QTimer::singleShot(10000, [this] {
            watchdogFired = true;
            if (TfrmFinish* finish = showingFinish())
                finish->btCloseClick();
        });
        elapsed.start();
        auto finish = std::make_unique<TfrmFinish>();
        elapsedMs = elapsed.elapsed();
        return finish;
    }

    bool watchdogFired = false;
    qint64 elapsedMs = 0;
    QElapsedTimer elapsed;
};

double processorSeconds()
{
    rusage usage{};
    EXPECT_EQ(getrusage(RUSAGE_SELF, &usage), 0);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

TEST(Finish, EnterRightAfterShowingEndsIt)
{
    FinishRun finish;
    bool shownWithDesign = false;
    finish.at(0, [&](TfrmFinish* window) {
        shownWithDesign = window->windowTitle() == "Завершение" && window->size() == QSize(463, 480) &&
                          window->btClose->text() == "Спасибо" && window->btClose->isDefault() &&
                          window->btClose->font().bold() && (window->windowFlags() & Qt::WindowStaysOnTopHint) &&
                          !(window->windowFlags() & Qt::WindowCloseButtonHint);
        QTest::keyClick(window, Qt::Key_Return);
    });
    const auto window = finish.run();
    EXPECT_FALSE(finish.watchdogFired);
    EXPECT_TRUE(shownWithDesign);
    EXPECT_GE(Sec, kFinishTickLimit);
    EXPECT_FALSE(window->T.isActive());
}

TEST(Finish, TicksCountTenthsOfSecondsUntilTheButton)
{
    FinishRun finish;
    int ticksSeen = -1;
    finish.at(450, [&](TfrmFinish* window) {
        ticksSeen = Sec;
        QTest::mouseClick(window->btClose, Qt::LeftButton);
    });
    const auto window = finish.run();
    EXPECT_FALSE(finish.watchdogFired);
    EXPECT_EQ(window->T.interval(), 100);
    EXPECT_GE(ticksSeen, 2);
    EXPECT_LE(ticksSeen, 5);
}

TEST(Finish, EndsByItselfAtTheTickLimit)
{
    FinishRun finish;
    finish.at(0, [](TfrmFinish*) { Sec = kFinishTickLimit - 3; });
    const auto window = finish.run();
    EXPECT_FALSE(finish.watchdogFired);
    EXPECT_EQ(Sec, kFinishTickLimit) << "ended by the timer, not by the button";
    EXPECT_GE(finish.elapsedMs, 250);
    EXPECT_EQ(kFinishTickLimit, 30000) << "50 minutes of 100 ms ticks";
}

TEST(Finish, ClosingByTheWindowManagerOrEscapeEndsIt)
{
    for (const bool escape : {false, true}) {
        FinishRun finish;
        finish.at(30, [escape](TfrmFinish* window) {
            if (escape)
                QTest::keyClick(window, Qt::Key_Escape);
            else
                window->close();
        });
        finish.run();
        EXPECT_FALSE(finish.watchdogFired) << (escape ? "Escape" : "close");
    }
}

TEST(Finish, WaitingDoesNotKeepTheProcessorBusy)
{
    FinishRun finish;
    double processorAtStart = 0;
    finish.at(50, [&](TfrmFinish*) { processorAtStart = processorSeconds(); });
    double used = -1;
    finish.at(650, [&](TfrmFinish* window) {
        used = processorSeconds() - processorAtStart;
        window->btCloseClick();
    });
    finish.run();
    EXPECT_GE(used, 0);
    EXPECT_LT(used, 0.3) << "0.6 s of waiting";
}

TEST(Finish, ShowsTheClosingBannersInTheirSlots)
{
    TemporaryFolder folder;
    CurrentFolder here(folder.path());
    {
        TinyEdition edition(folder.file("plain.sqlite"));
        edition.addContent(17, jpegOf(Qt::red, {50, 50}), 201);
        edition.addContent(18, jpegOf(Qt::green, {50, 50}), 202);
        edition.addContent(19, jpegOf(Qt::blue, {50, 50}), 203);
        edition.addContent(13, jpegOf(Qt::black, {50, 50}), 204);
        edition.sealAs(folder.file(MapFiles[1]), 1);
    }
    TDM dm;
    ASSERT_TRUE(dm.OpenEdition(1));
    DM = &dm;
    FinishRun finish;
    finish.at(0, [](TfrmFinish* window) { window->btCloseClick(); });
    const auto window = finish.run();
    DM = nullptr;

    EXPECT_EQ(window->ImgBanFrontTLFin->Tag, 201);
    EXPECT_EQ(window->ImgBanFrontTRFin->Tag, 202);
    EXPECT_EQ(window->ImgBanFrontBLFin->Tag, 203);
    EXPECT_EQ(window->ImgBanFrontBRFin->Tag, 0) << "no row 20: the placeholder, no click";
    EXPECT_TRUE(window->ImgBanFrontBRFin->HasPicture());
    EXPECT_FALSE(window->ImgBanFrontBRFin->OnClick);
    EXPECT_EQ(window->ImgBanFrontTLFin->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(window->ImgBanFrontBLFin->geometry(), QRect(22, 232, 200, 200));
}
