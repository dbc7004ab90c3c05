#include "StartUp.h"

#include "ApplicationStyle.h"
#include "AutoStart.h"
#include "ErrorHandler.h"
#include "TfrmMain.h"
#include "TfrmMapSelect.h"
#include "TfrmStart.h"
#include "VersionText.h"

#include <QMessageBox>

namespace {

// Set when the splash was closed by the system: the program is to end once
// the data module's creation has run to its end, without the main window.
bool terminateRequested = false;

int selectEdition() {
    frmMapSelect = new TfrmMapSelect;
    const int chosen = frmMapSelect->ShowModal();
    delete frmMapSelect;
    frmMapSelect = nullptr;
    return chosen;
}

void showOpenFailure(const QString& message) {
    QMessageBox::critical(nullptr, "Вариндел", message);
}

bool createMainWindow() {
    frmMain = new TfrmMain;
    return true;
}

void createSplash() {
    if (!RunSplash())
        terminateRequested = true;
    frmMain->SecondaryWindowsCreated();
}

void setMainCaption(int edition) {
    frmMain->setWindowTitle(MainWindowCaption(edition, VersionProgram));
}

bool runStartUp() {
    DM = new TDM;
    if (!DM->DataModuleCreate(StartUpWindows()) || terminateRequested)
        return false;
    frmMain->showMaximized();
    return true;
}

} // namespace

TStartUpWindows StartUpWindows() {
    return {selectEdition, showOpenFailure, createMainWindow, createSplash, setMainCaption};
}

bool LoadPackage() {
    ApplyApplicationStyle();
    terminateRequested = false;
    if (AutoStartRequested())
        StartAutoStart();
    // DM is assigned before its creation handler runs, so that the steps
    // inside it can already reach the data module.
    try {
        return runStartUp();
    } catch (const std::exception& error) {
        HandleError(QString::fromUtf8(error.what()));
    } catch (...) {
        HandleError(QString());
    }
    return false;
}

void UnloadPackage() {
    // The main window's destruction saves the user's state and shows the
    // closing screen; the data module closes the edition after it.
    try {
        delete frmMain;
    } catch (const std::exception& error) {
        HandleError(QString::fromUtf8(error.what()));
    }
    frmMain = nullptr;
    delete DM;
    DM = nullptr;
}
