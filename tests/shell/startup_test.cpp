// The package's start-up with the real edition dialog and message box.
#include "Datamodule.h"
#include "Package.h"
#include "TestEnvironment.h"
#include "TfrmMapSelect.h"
#include "TinyEdition.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `act` on the next modal window of type Window once it is up.
template <typename Window>
void whenShown(std::function<void(Window&)> act)
{
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

class StartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        TinyEdition edition(folder.file("plain.sqlite"));
        edition.addText(9, "5000");
        edition.sealAs(folder.file("dataomk.abs"), 1);
    }

    void TearDown() override
    {
        VarindelPackageUnload();
        EXPECT_EQ(DM, nullptr);
    }

    TemporaryFolder folder;
    CurrentFolder here{folder.path()};
};

} // namespace

TEST_F(StartUp, ChosenEditionIsOpenedAndTheLoadEndsWithoutAWindowYet)
{
    whenShown<TfrmMapSelect>([](TfrmMapSelect& dialog) { dialog.btLoadMap->click(); });
    EXPECT_FALSE(VarindelPackageLoad()) << "no main window to run an event loop for";
    ASSERT_NE(DM, nullptr);
    EXPECT_EQ(Res, 1);
    EXPECT_EQ(frmMapSelect, nullptr) << "the dialog is destroyed after it ran";
    EXPECT_TRUE(DM->Con.Connected());
    EXPECT_EQ(DM->GetIntFromBase(9), 5000);
}

TEST_F(StartUp, CancelLeavesNoConnection)
{
    whenShown<TfrmMapSelect>([](TfrmMapSelect& dialog) { dialog.btCancel->click(); });
    EXPECT_FALSE(VarindelPackageLoad());
    ASSERT_NE(DM, nullptr);
    EXPECT_EQ(Res, 0);
    EXPECT_FALSE(DM->Con.Connected());
}

TEST_F(StartUp, AnEditionThatWillNotOpenIsShownInAMessageBox)
{
    QFile::resize(QString::fromStdString(folder.file("dataomk.abs")), 3000);
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
}
