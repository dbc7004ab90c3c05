#include "MainWindowWorld.h"

#include "Datamodule.h"
#include "Minireg.h"
#include "TfrmFinish.h"
#include "TfrmMain.h"
#include "TfrmMapSelect.h"
#include "TfrmStart.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <utility>

namespace {

// The closing screen lives its whole life in its constructor, before the
// global can name it: it is found among the windows.
TfrmFinish* VisibleClosingScreen() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* finish = qobject_cast<TfrmFinish*>(window); finish && finish->isVisible())
            return finish;
    return nullptr;
}

} // namespace

MainWindowWorld::MainWindowWorld(const std::function<void(TinyEdition&)>& extra) {
    QDir().mkpath(QString::fromStdString(programFolder()));
    RegSetString(HKEY_LOCAL_MACHINE,
                 "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\Common AppData",
                 folder.file("appdata"));
    for (const char* name : {"tmp", "runtime", "data", "cache", "config"})
        QDir().mkpath(QString::fromStdString(folder.file(name)));
    QFile::setPermissions(QString::fromStdString(folder.file("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setEnv("TMPDIR", QByteArray::fromStdString(folder.file("tmp")));
    setEnv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder.file("runtime")));
    setEnv("XDG_DATA_HOME", QByteArray::fromStdString(folder.file("data")));
    setEnv("XDG_CACHE_HOME", QByteArray::fromStdString(folder.file("cache")));

    TinyEdition edition(folder.file("plain.sqlite"));
    edition.addText(7, kTestFavorites);
    edition.addText(8, kTestTabsHeight);
    edition.addText(9, "5000");
    edition.addText(10, "200");
    edition.addText(11, "20000");
    edition.addText(12, "500");
    edition.addFolder(10, 0, "Банки");
    edition.addFolder(11, 0, "Аптеки");
    edition.addFolder(12, 10, "Банкоматы");
    if (extra)
        extra(edition);
    edition.sealAs(folder.file("dataomk.abs"), 1);
    here_ = std::make_unique<CurrentFolder>(folder.path());
}

MainWindowWorld::~MainWindowWorld() {
    here_.reset();
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        if (it->wasSet)
            qputenv(it->name, it->value);
        else
            qunsetenv(it->name);
    }
}

void MainWindowWorld::setEnv(const char* name, const QByteArray& value) {
    saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
    qputenv(name, value);
}

void OpenTestEdition() {
    DM = new TDM;
    Res = 1;
    if (!DM->OpenEdition(1))
        throw std::runtime_error("the test edition does not open");
}

void CloseTestEdition() {
    StartUpPresser presser;
    delete frmMain;
    frmMain = nullptr;
    delete DM;
    DM = nullptr;
    Res = 0;
}

StartUpPresser::StartUpPresser() {
    poll_.setInterval(5);
    QObject::connect(&poll_, &QTimer::timeout, [this] { press(); });
    poll_.start();
}

void StartUpPresser::press() {
    if (auto* dialog = qobject_cast<TfrmMapSelect*>(QApplication::activeModalWidget()))
        (cancel ? dialog->btCancel : dialog->btLoadMap)->click();
    else if (pressContinue && frmStart && Actived && frmStart->isVisible())
        frmStart->btContinue->click();
    else if (TfrmFinish* finish = VisibleClosingScreen()) {
        if (OnClosingScreen)
            std::exchange(OnClosingScreen, nullptr)();
        finish->btClose->click();
    }
}
