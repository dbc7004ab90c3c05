#include "StartUp.h"

#include "TfrmMapSelect.h"

#include <QMessageBox>

namespace {

int selectEdition()
{
    frmMapSelect = new TfrmMapSelect;
    const int chosen = frmMapSelect->ShowModal();
    delete frmMapSelect;
    frmMapSelect = nullptr;
    return chosen;
}

void showOpenFailure(const QString& message)
{
    QMessageBox::critical(nullptr, "Вариндел", message);
}

// The main window, the splash and the caption arrive with the application
// shell: its creation of frmMain (which opens the start-up queries and loads
// the map and icons from the edition) goes into createMainWindow, frmStart
// into createSplash and the caption, MainWindowCaption(edition,
// VersionProgram), into setMainCaption. Until then there is no window to
// show after the edition has been opened, so the start-up ends there and the
// host runs no event loop.
bool createMainWindow()
{
    return false;
}

void createSplash() {}

void setMainCaption(int) {}

} // namespace

TStartUpWindows StartUpWindows()
{
    return {selectEdition, showOpenFailure, createMainWindow, createSplash, setMainCaption};
}

bool LoadPackage()
{
    // DM is assigned before its creation handler runs, so that the steps
    // inside it can already reach the data module.
    DM = new TDM;
    return DM->DataModuleCreate(StartUpWindows());
}

void UnloadPackage()
{
    // With an edition chosen, the main window is destroyed first (its
    // destruction saves the user's state and shows the closing screen); the
    // application shell adds it here. Then the data module goes.
    delete DM;
    DM = nullptr;
}
