// The progress window: its layout, the caption that repaints at once and
// serves pending events, the gauge's maximum and steps, and where it stands.
#include "TfrmProgress.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

TEST(Progress, StartsAsTheSendingWindowOfItsSize)
{
    TfrmProgress progress;
    EXPECT_EQ(progress.windowTitle(), "Отправка");
    EXPECT_EQ(progress.size(), QSize(342, 70));
    EXPECT_EQ(progress.lCont->geometry().topLeft(), QPoint(11, 8));
    EXPECT_EQ(progress.lCont->width(), 318);
    EXPECT_EQ(progress.gProgress->geometry(), QRect(8, 24, 329, 33));
    EXPECT_EQ(progress.gProgress->value(), 0);
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(progress.windowFlags() & Qt::Tool);
    EXPECT_FALSE(progress.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(progress.windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST(Progress, SetCaptionShowsTheTextsAndServesPendingEvents)
{
    TfrmProgress progress;
    progress.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&progress));
    int served = 0;
    QTimer::singleShot(0, [&] { ++served; });
    progress.SetCaption("Предпросмотр", "Сохранение");
    EXPECT_EQ(served, 1);
    EXPECT_EQ(progress.windowTitle(), "Предпросмотр");
    EXPECT_EQ(progress.lCont->text(), "Сохранение");
}

TEST(Progress, SetMaxStartsOverAndIncValueCounts)
{
    TfrmProgress progress;
    progress.SetMax(3);
    progress.IncValue();
    progress.IncValue();
    EXPECT_EQ(progress.gProgress->value(), 2);
    EXPECT_EQ(progress.gProgress->maximum(), 3);
    progress.IncValue();
    EXPECT_EQ(progress.gProgress->value(), 3);
    progress.SetMax(10);
    EXPECT_EQ(progress.gProgress->value(), 0);
    EXPECT_EQ(progress.gProgress->maximum(), 10);
}

TEST(Progress, StandsInTheMiddleOfTheWindowItServes)
{
    QWidget owner;
    owner.setGeometry(100, 100, 800, 600);
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    TfrmProgress progress(&owner);
    progress.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&progress));
    EXPECT_LE((progress.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(), 2);
}
