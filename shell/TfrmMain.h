// The main window: the map on the left, the directory panel on the right, the
// tool bar on top and the status line at the bottom. Its creation sets the
// folders, opens the start-up queries, loads map and icons from the edition
// and restores the user's state; its destruction saves that state, shows the
// closing screen and takes the secondary windows down.
//
// Every control is a public member under its own name, so that the parts of
// the program that give the controls their behaviour can attach to them.
#pragma once

#include "TabsHeight.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>

class QAbstractButton;
class QAction;
class QButtonGroup;
class QCalendarWidget;
class QComboBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolButton;
class QTreeWidget;
class AddressIndex;
class DirectoryBrowser;
class MapPrintMenu;
class StreetCombo;
class TBannerImage;
class TBannerRotation;
class TBannerTimer;
class TBookmarks;
class TDiary;
class TFavoritesKeeper;
class THelpMenu;
class TMapNavigator;
class TMapRoutes;
class TQuery;
class TDataMap;
class TFavorites;
class THTMListBox;
class TIDList;
class TOrvEdit;
class TPictureContainer;
class TSplitterBar;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // --- Tool bar ----------------------------------------------------------
    QWidget* pnMainBtns;
    QToolButton* btScale;
    QToolButton* btScaleInc;
    QToolButton* btScaleDec;
    QToolButton* btPick;
    QToolButton* btDragMap;
    QToolButton* btiMeasure;
    QButtonGroup* InstrumentButtons; // btScale, btPick, btDragMap, btiMeasure
    QToolButton* btHelp;
    QToolButton* btMiniMap;
    QToolButton* btSendPublish;
    QToolButton* btPrint;
    TBannerImage* ImgBanFrontTRIDIns;

    // --- Status line -------------------------------------------------------
    QWidget* pnInfo;
    QLabel* lInfo;

    // --- Panel hide button (Tag 1 while the panel shows) -------------------
    QWidget* pHide;
    QToolButton* btPHide;

    // --- Directory panel ---------------------------------------------------
    QWidget* pnFirms;
    QWidget* pnButtons;
    QToolButton* btFolders;
    QToolButton* btFavorites;
    QToolButton* btFind;
    QToolButton* btFindHouse;
    QToolButton* btBldInfo;
    QToolButton* btDiary;
    QButtonGroup* PageButtons;
    QLabel* lCapTab;
    QStackedWidget* pcTabs; // the pages; each page's Tag is its area's height
    QWidget* tsFolders;
    QWidget* tsFavorites;
    QWidget* tsFind;
    QWidget* tsFindHouse;
    QWidget* tsBldInfo;
    QWidget* tsDiary;
    QTreeWidget* tvFolders;
    // The search page.
    TOrvEdit* edName;
    QToolButton* btName;
    QComboBox* cbStreet;
    TOrvEdit* edHouse;
    QToolButton* btAddress;
    TOrvEdit* edPhone;
    QToolButton* btPhone;
    TOrvEdit* edPostIndex;
    QToolButton* btPhoneIndex;
    TOrvEdit* edWeb;
    QToolButton* btWeb;
    TOrvEdit* edEmail;
    QToolButton* btEmail;
    QPushButton* btSearch;
    // The house search page.
    QComboBox* cbfhStreet;
    QToolButton* btfhAddress;
    TOrvEdit* edfhHouse;
    TOrvEdit* edfhPostIndex;
    QToolButton* btfhPostIndex;
    QPushButton* btfhSearch;
    // The building and diary pages.
    THTMListBox* lbBldInfo;
    QCalendarWidget* MonthCalendar;
    TSplitterBar* Splitterlf;
    QPlainTextEdit* mDiary;
    THTMListBox* lbFirms;
    TBannerImage* ImgBanFrontBRIDIns;
    TPictureContainer* PicCnt;

    // --- Map area ----------------------------------------------------------
    QWidget* pnMap;
    QTabBar* pcBookmarks;
    TDataMap* DataMap;

    // --- Pop-up menus ------------------------------------------------------
    QMenu* pmHelp;
    QAction* NPriceList;
    QAction* NHelp;
    QAction* NLicense;
    QAction* NFriends;
    QAction* NSettings;
    QAction* NAbout;
    QMenu* pmMap;
    QAction* NAddBookmark;
    QAction* NDiaryAdd;
    QAction* NIncScale;
    QAction* NScaleDec;
    QMenu* pmBookmarks;
    QAction* NDelBookmark;
    QMenu* pmFirms;
    QAction* NAddToFavorites;
    QAction* NDelFavorite;
    QAction* NFAddBookmark;
    QMenu* pmSend;
    QAction* NPublish;
    QMenu* NSendNote; // the notes submenu; its actions carry the note kind 0..5 as data
    std::array<QAction*, 6> NoteActions;
    QMenu* pmPrint;
    QAction* NPrint;
    QAction* NSaveToFile;

    // --- Actions (alFirms) -------------------------------------------------
    QAction* RefreshNullFolders;
    QAction* aAddBookmark;
    QAction* aDelBookmark;
    QAction* aAddToFavorites;
    QAction* aDelFavorite;

    // --- Banner timers of the rotation (disabled until it starts them) ----
    TBannerTimer* tBanFrontTR;
    TBannerTimer* tBanFrontBR;

    // Minute of the day at creation, for the usage statistics.
    int StartMinutes = 0;

    // --- Operations --------------------------------------------------------
    bool LoadIconFile();
    bool LoadMapFile();
    void loadRouteGraph();
    // Extracts the price list to TempPath + "PriceList.html" when the edition
    // has one, and shows that file in any case.
    bool LoadPriceList();
    // Extracts and shows the article of the firm `firm` stands on.
    bool LoadArticle(const TQuery& firm);
    void SetTempVar();

    void LoadTabsHeightFromReg();
    // Does nothing unless the heights were read from the registry first.
    void SaveTabsHeightToReg();
    void SetTabsChange();
    void SplitterlfMoved();
    // Switches pcTabs to page `index` (0..5; anything else changes nothing)
    // and shows what the page lists; Reload runs its query (or search) again.
    void ShowPage(int index, bool Reload);
    // Builds the top level of the category tree and selects its first node.
    void RefreshNullFoldersExecute();
    // The click of a banner: opens the advertised firm's first category and its card.
    void ImgBanClick(TBannerImage* sender);
    // The secondary windows exist now (the splash made them): they get what
    // they need from the main window.
    void SecondaryWindowsCreated();

    // The controllers of the window's parts.
    DirectoryBrowser& Browser() { return *browser_; }
    TBookmarks& Bookmarks() { return *bookmarks_; }
    TDiary& Diary() { return *diary_; }
    TMapNavigator& Navigator() { return *navigator_; }
    THelpMenu& HelpMenu() { return *helpMenu_; }
    MapPrintMenu& PrintMenu() { return *printMenu_; }
    TBannerRotation& BannerRotation() { return *bannerRotation_; }

    void btPHideClick();
    // Where the window comes to rest when the user leaves it at `proposed`.
    QPoint SnappedPosition(const QRect& proposed) const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void buildToolBar();
    void buildStatusLine();
    void buildDirectoryPanel();
    void buildPages();
    QWidget* buildSearchPage();
    QWidget* buildHouseSearchPage();
    void buildMapArea();
    void buildMenus();
    void buildActions();
    void connectPageButtons();
    void connectSearchPages();
    void connectActions();
    void createMapControllers();
    void createDirectoryControllers();
    void runSearch();
    void runHouseSearch();
    void showBuilding();

    void FormCreate();
    void makeTempPath();
    void ensureLists();
    void FormShow();
    void FormClose();
    void FormDestroy();
    void readScales();
    void setUpMap();
    void loadMapBookmarks();
    void loadFavorites();
    void loadSettings();
    void paintLayers();
    void startBannerRotation();
    void stopBannerTimers();
    void showClosingScreen();
    void destroySecondaryWindows();
    void snapAfterMove();

    bool shown_ = false;
    // What the user keeps from one run to the next is written back at the
    // end only when it was read at the start: a start that stopped early, or
    // a window never shown, must not overwrite it with the defaults.
    bool settingsRead_ = false;
    bool tabsHeightsRead_ = false;
    bool destroying_ = false;
    // The Reload of the ShowPage under way, for the page handlers run inside it.
    bool pageReload_ = true;
    QTimer* snapTimer_;

    std::unique_ptr<AddressIndex> addressIndex_;
    std::unique_ptr<StreetCombo> streetCombo_;
    std::unique_ptr<StreetCombo> houseStreetCombo_;
    std::unique_ptr<TBookmarks> bookmarks_;
    std::unique_ptr<TFavoritesKeeper> favoritesKeeper_;
    DirectoryBrowser* browser_ = nullptr;
    TDiary* diary_ = nullptr;
    TMapNavigator* navigator_ = nullptr;
    TMapRoutes* routes_ = nullptr;
    THelpMenu* helpMenu_ = nullptr;
    MapPrintMenu* printMenu_ = nullptr;
    TBannerRotation* bannerRotation_ = nullptr;
};

// The globals of the main window's unit.
extern TfrmMain* frmMain;
extern QString LocalPath;
extern QString TempPath;
extern QString VersionProgram;
extern QString RegBookmarksValues;
extern QString RegBookmarksNames;
extern QString RegFavoritesValues;
extern QString RegTabsHeight;
extern QString RegDiary;
extern QString RegDiaryObj;
extern int MapScale;
extern int MinScale;
extern int MaxScale;
extern int StepScale;
extern bool IsFlying;
extern TIDList* IDList;
extern TIDList* idLabels;
extern QStringList* FindHouses;
extern TFavorites* Favorites;

// The page hints lCapTab shows, by page index.
extern const std::array<const char*, kTabsCount> TabHints;
