// The splash as a user meets it: the first key, Enter, goes on with
// "Продолжить" rather than opening the site, and the version never runs into
// the description, however long it is.
#include "Datamodule.h"
#include "TOrvLink.h"
#include "TestEnvironment.h"
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

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

template <typename Window>
void destroy(Window*& window)
{
    delete window;
    window = nullptr;
}

class SplashKeys : public ::testing::Test {
protected:
    void SetUp() override
    {
        TinyEdition edition(folder.file("plain.sqlite"));
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

    TemporaryFolder folder;
    CurrentFolder here{folder.path()};
    TDM dm;
};

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

TEST_F(SplashKeys, EnterOnTheShownSplashPressesContinueNotTheSiteLink)
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

TEST_F(SplashKeys, TabFromContinueReachesTheSiteLink)
{
    frmStart = new TfrmStart;
    QWidget* next = frmStart->btContinue->nextInFocusChain();
    while (next != frmStart->btContinue && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    EXPECT_EQ(next, frmStart->lVarindelnet);
}

TEST_F(SplashKeys, VersionAndDescriptionNeverTouchAtAnyVersionLength)
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
