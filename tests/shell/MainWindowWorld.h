// A world for the main window's tests: its own folders (program folder,
// temporary, data and cache folders), its own registry stores and a tiny
// edition "dataomk.abs" in the current folder, with the registry names and
// scales of a real edition and a small category tree.
#pragma once

#include "TestEnvironment.h"
#include "TinyEdition.h"

#include <QByteArray>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

inline constexpr const char* kTestTabsHeight = "Software\\Varindel TLX Company\\Test\\TabsHeight\\";
inline constexpr const char* kTestFavorites = "Software\\Varindel TLX Company\\Test\\Favorites\\";

class MainWindowWorld {
public:
    // `extra` adds rows to the edition before it is sealed.
    explicit MainWindowWorld(const std::function<void(TinyEdition&)>& extra = {});
    ~MainWindowWorld();

    std::string programFolder() const { return folder.file("appdata") + "/Varindel TLX Company/"; }

    TemporaryFolder folder;
    IsolatedRegistry registry;

private:
    struct SavedEnv {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    void setEnv(const char* name, const QByteArray& value);

    std::vector<SavedEnv> saved_;
    std::unique_ptr<CurrentFolder> here_;
};

// Opens the world's edition in a fresh data module, as the start-up does
// before it creates the main window.
void OpenTestEdition();
// Deletes frmMain (pressing "Спасибо" on the closing screen) and the data module.
void CloseTestEdition();

// Presses what the start-up and shut-down wait for while it lives: "Загрузить"
// (or "Отмена" with cancel set), "Продолжить" once the splash has done its
// work, and "Спасибо" on the closing screen.
class StartUpPresser {
public:
    StartUpPresser();
    bool cancel = false;
    bool pressContinue = true;
    // Runs once when the closing screen is seen, before "Спасибо" is pressed.
    std::function<void()> OnClosingScreen;

private:
    void press();
    QTimer poll_;
};
