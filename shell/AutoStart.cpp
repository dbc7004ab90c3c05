#include "AutoStart.h"

#include "TDataMap.h"
#include "TfrmFinish.h"
#include "TfrmMain.h"
#include "TfrmMapSelect.h"
#include "TfrmStart.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>

namespace {

// The closing screen lives its whole life in its constructor, before the
// global can name it: it is found among the windows.
TfrmFinish* VisibleClosingScreen() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* finish = qobject_cast<TfrmFinish*>(window); finish && finish->isVisible())
            return finish;
    return nullptr;
}

constexpr int kPollMs = 2;

class MapPaintWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && frmMain && watched == frmMain->DataMap && !reported_ &&
            frmMain->tvFolders->topLevelItemCount() > 0) {
            reported_ = true;
            // Reported once this paint has reached the screen, then closed.
            QTimer::singleShot(0, [] {
                std::fprintf(stderr, "%s\n", kAutoStartReadyLine);
                (void)std::fflush(stderr);
                if (qgetenv(kAutoStartEnv) != "stay")
                    frmMain->close();
            });
        }
        return false;
    }

private:
    bool reported_ = false;
};

void pressWhatIsWaiting(MapPaintWatch* watch) {
    if (auto* dialog = qobject_cast<TfrmMapSelect*>(QApplication::activeModalWidget())) {
        if (dialog->btLoadMap->isEnabled())
            dialog->btLoadMap->click();
    } else if (frmStart && Actived && frmStart->isVisible()) {
        frmStart->btContinue->click();
    } else if (TfrmFinish* finish = VisibleClosingScreen()) {
        finish->btClose->click();
    }
    if (frmMain && frmMain->DataMap && !frmMain->DataMap->property("autoStartWatched").toBool()) {
        frmMain->DataMap->setProperty("autoStartWatched", true);
        frmMain->DataMap->installEventFilter(watch);
    }
}

} // namespace

bool AutoStartRequested() {
    const QByteArray value = qgetenv(kAutoStartEnv);
    return value == "1" || value == "stay";
}

void StartAutoStart() {
    auto* poll = new QTimer(qApp);
    auto* watch = new MapPaintWatch(poll);
    poll->setInterval(kPollMs);
    QObject::connect(poll, &QTimer::timeout, poll, [watch] { pressWhatIsWaiting(watch); });
    poll->start();
}
