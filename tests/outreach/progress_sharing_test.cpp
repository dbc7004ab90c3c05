// The one progress window serves a mail sent in the background and a map
// saved to a file at the same time: the window goes only when both are done.
#include "MailProgress.h"
#include "MapPrintMenu.h"
#include "SmtpTransport.h"
#include "TDataMap.h"
#include "TestEnvironment.h"
#include "TfrmProgress.h"

#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// Notes, at each moment the window goes away, whether the saved map was
// already written: a window closed in the middle of the save is seen then.
class HideWatch : public QObject {
public:
    explicit HideWatch(QString savedFile) : savedFile_(std::move(savedFile)) {}
    QList<bool> savedAtHide;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Hide)
            savedAtHide << QFile::exists(savedFile_);
        return false;
    }

private:
    QString savedFile_;
};

class SharedProgress : public ::testing::Test {
protected:
    SharedProgress()
    {
        frmProgress = &progress;
        ConnectSendProgress(&transport, TProgressStyle::Form);
        menu.AskFileName = [this] { return savedFile; };
        progress.installEventFilter(&watch);
        window.resize(500, 400);
        map->setGeometry(0, 0, 480, 360);
        window.show();
    }
    ~SharedProgress() override { frmProgress = nullptr; }

    TemporaryFolder folder;
    QString savedFile = QString::fromStdString(folder.file("route.bmp"));
    TfrmProgress progress;
    TSmtpTransport transport;
    QWidget window;
    QToolButton* btPrint = new QToolButton(&window);
    TDataMap* map = new TDataMap(&window);
    MapPrintMenu menu{map, btPrint, &window};
    HideWatch watch{savedFile};
};

} // namespace

TEST_F(SharedProgress, AMapSavedDuringASendLeavesTheWindowToTheSend)
{
    emit transport.WorkBegin(1000);
    ASSERT_TRUE(progress.isVisible());
    menu.NMapSaveToFileClick();
    ASSERT_TRUE(QFile::exists(savedFile));
    EXPECT_TRUE(progress.isVisible()) << "the mail is still being sent";
    emit transport.WorkEnd();
    EXPECT_FALSE(progress.isVisible());
}

TEST_F(SharedProgress, ASendEndingDuringASaveLeavesTheWindowToTheSave)
{
    emit transport.WorkBegin(1000);
    // The save lets waiting events through while it works: the send ends then.
    QTimer::singleShot(0, &transport, [this] { emit transport.WorkEnd(); });
    menu.NMapSaveToFileClick();
    EXPECT_EQ(watch.savedAtHide, QList<bool>{true}) << "the window went once, after the map was saved";
    EXPECT_FALSE(progress.isVisible());
}

TEST_F(SharedProgress, ATransportGoneBeforeItsEndReleasesTheWindow)
{
    auto* gone = new TSmtpTransport;
    ConnectSendProgress(gone, TProgressStyle::Form);
    emit gone->WorkBegin(10);
    ASSERT_TRUE(progress.isVisible());
    delete gone;
    EXPECT_FALSE(progress.isVisible());
}
