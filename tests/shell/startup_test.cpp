// The package's whole start-up and shut-down with the real edition dialog,
// main window, splash and closing screen.
#include "ControlTag.h"
#include "Datamodule.h"
#include "MainWindowWorld.h"
#include "Package.h"
#include "StartUp.h"
#include "TfrmAbout.h"
#include "TfrmArticle.h"
#include "TfrmFinish.h"
#include "TfrmFriends.h"
#include "TfrmMain.h"
#include "TfrmMapSelect.h"
#include "TfrmMiniMap.h"
#include "TfrmPrintPreView.h"
#include "TfrmProgress.h"
#include "TfrmPublish.h"
#include "TfrmSendErrReport.h"
#include "TfrmSendNote.h"
#include "TfrmSettings.h"
#include "TfrmStart.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs `act` on the next modal window of type Window once it is up.
template <typename Window> void whenShown(std::function<void(Window&)> act) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* window = qobject_cast<Window*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(*window);
        }
    });
    poll->start();
}

QWidgetList VisibleTopLevels() {
    QWidgetList visible;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible())
            visible << widget;
    return visible;
}

// The secondary windows, by the names the main window destroys them under.
std::vector<std::pair<QString, QWidget*>> SecondaryWindows() {
    return {{"frmMiniMap", frmMiniMap},   {"frmArticle", frmArticle},
            {"frmPublish", frmPublish},   {"frmSendNote", frmSendNote},
            {"frmProgress", frmProgress}, {"frmPrintPreView", frmPrintPreView},
            {"frmFriends", frmFriends},   {"frmSendErrReport", frmSendErrReport},
            {"frmAbout", frmAbout},       {"frmSettings", frmSettings},
            {"frmStart", frmStart}};
}

class StartUp : public ::testing::Test {
protected:
    void SetUp() override { Actived = false; }
    void TearDown() override {
        StartUpPresser presser;
        VarindelPackageUnload();
        EXPECT_EQ(DM, nullptr);
        EXPECT_EQ(frmMain, nullptr);
    }

    MainWindowWorld world;
};

} // namespace

TEST_F(StartUp, CancellingTheEditionDialogCreatesNothingAndLeavesNoWindow) {
    StartUpPresser presser;
    presser.cancel = true;
    EXPECT_FALSE(VarindelPackageLoad());
    EXPECT_EQ(Res, 0);
    EXPECT_FALSE(DM->Con.Connected());
    EXPECT_EQ(frmMain, nullptr);
    EXPECT_EQ(frmStart, nullptr);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no modal loop is left running";
    EXPECT_TRUE(VisibleTopLevels().isEmpty());
}

TEST_F(StartUp, AnEditionThatWillNotOpenIsShownAndNoWindowFollows) {
    QFile::resize(QString::fromStdString(world.folder.file("dataomk.abs")), 3000);
    QString shownText;
    whenShown<TfrmMapSelect>([&shownText](TfrmMapSelect& dialog) {
        whenShown<QMessageBox>([&shownText](QMessageBox& box) {
            shownText = box.text();
            box.button(QMessageBox::Ok)->click();
        });
        dialog.btLoadMap->click();
    });
    EXPECT_FALSE(VarindelPackageLoad());
    EXPECT_EQ(shownText, "Файл издания «dataomk.abs» обрезан: он короче, чем должен быть.");
    EXPECT_FALSE(DM->Con.Connected());
    EXPECT_EQ(frmMain, nullptr);
}

TEST_F(StartUp, StepsRunInOrderAndTheMainWindowComesUpMaximised) {
    StartUpPresser presser;
    QStringList steps;
    const TStartUpWindows real = StartUpWindows();
    TStartUpWindows recorded = real;
    recorded.CreateMainWindow = [&] {
        steps << "main window";
        EXPECT_TRUE(DM->Con.Connected()) << "the edition is open before the main window";
        return real.CreateMainWindow();
    };
    recorded.CreateSplash = [&] {
        steps << "splash";
        ASSERT_NE(frmMain, nullptr);
        EXPECT_FALSE(frmMain->isVisible()) << "the main window waits, hidden, behind the splash";
        real.CreateSplash();
    };
    recorded.SetMainCaption = [&](int edition) {
        steps << "caption";
        for (const auto& [name, window] : SecondaryWindows())
            EXPECT_NE(window, nullptr) << name.toStdString() << " exists before the caption";
        EXPECT_FALSE(frmStart->isVisible()) << "the splash is only hidden";
        real.SetMainCaption(edition);
    };
    DM = new TDM;
    ASSERT_TRUE(DM->DataModuleCreate(recorded));
    EXPECT_EQ(steps, QStringList({"main window", "splash", "caption"}));
    EXPECT_EQ(frmMain->windowTitle(),
              "Ольмарск. Сентябрь 2008 - Информационно-коммерческий справочник Вариндел - " + VersionProgram);
}

TEST_F(StartUp, TheLoadShowsTheMainWindowWithTheTreeAndTheUnloadTakesAllDownInOrder) {
    StartUpPresser presser;
    ASSERT_TRUE(VarindelPackageLoad());
    ASSERT_NE(frmMain, nullptr);
    EXPECT_TRUE(frmMain->isVisible());
    EXPECT_TRUE(frmMain->isMaximized());
    EXPECT_EQ(frmMain->tvFolders->topLevelItemCount(), 2);
    EXPECT_NE(frmMain->tvFolders->currentItem(), nullptr);
    EXPECT_TRUE(frmMain->windowTitle().startsWith("Ольмарск. Сентябрь 2008 - "));
    EXPECT_EQ(Tag(frmMain->tsFind), 160);

    QStringList events;
    QObject::connect(frmMain, &QObject::destroyed, [&events] { events << "frmMain"; });
    for (const auto& [name, window] : SecondaryWindows()) {
        ASSERT_NE(window, nullptr) << name.toStdString();
        QObject::connect(window, &QObject::destroyed, [&events, name = name] { events << name; });
    }
    presser.OnClosingScreen = [&events] { events << "frmFinish"; };

    VarindelPackageUnload();
    EXPECT_EQ(events, QStringList({"frmFinish", "frmMiniMap", "frmArticle", "frmPublish", "frmSendNote",
                                   "frmProgress", "frmPrintPreView", "frmFriends", "frmSendErrReport", "frmAbout",
                                   "frmSettings", "frmStart", "frmMain"}));
    EXPECT_EQ(frmStart, nullptr);
    EXPECT_EQ(frmMiniMap, nullptr);
}

TEST_F(StartUp, ClosingTheSplashByTheSystemEndsTheProgramWithoutTheMainWindow) {
    StartUpPresser presser;
    presser.pressContinue = false;
    auto* closeSplash = new QTimer;
    closeSplash->setInterval(5);
    QObject::connect(closeSplash, &QTimer::timeout, [closeSplash] {
        if (frmStart && Actived && frmStart->isVisible()) {
            closeSplash->stop();
            frmStart->reject();
        }
    });
    closeSplash->start();
    Actived = false;
    EXPECT_FALSE(VarindelPackageLoad());
    delete closeSplash;
    ASSERT_NE(frmMain, nullptr);
    EXPECT_FALSE(frmMain->isVisible());
}
