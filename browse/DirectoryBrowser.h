// The directory panel's controller, owned by the main window: the six
// pages of pcTabs and ShowPage, the category tree, the firm list with its
// cards, anchors, mouse and pop-up menu. It works on the main window's
// controls and globals, handed over as pointers; what lives in other parts
// of the program (search, building lookup, diary, articles, the publish
// form, page heights) is reached through callbacks.
#pragma once

#include "CategoryTree.h"
#include "FirmList.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class QTreeWidget;
class QWidget;
class AddressIndex;
class ForgivingSearch;
class MapEngine;
class TDataMap;
class TDM;
class TFavorites;
class TIDList;
class THTMListBox;
class TPictureContainer;
class TQuery;

struct TDirectoryControls {
    QTreeWidget* tvFolders = nullptr;
    THTMListBox* lbFirms = nullptr;
    QWidget* pcTabs = nullptr; // a QTabWidget or a QStackedWidget with the six pages
    QLabel* lCapTab = nullptr;
    QWidget* mDiary = nullptr;
    TDataMap* DataMap = nullptr;
    TPictureContainer* PicCnt = nullptr;
    QAbstractButton* btFolders = nullptr;
    QAbstractButton* btFavorites = nullptr;
    QAbstractButton* btFind = nullptr;
    QAbstractButton* btBldInfo = nullptr;
    QMenu* pmFirms = nullptr;
    QAction* NAddToFavorites = nullptr;
    QAction* NDelFavorite = nullptr;
    QAction* NFAddBookmark = nullptr;
    TDM* DataModule = nullptr;
    TIDList* IDList = nullptr;
    TIDList* idLabels = nullptr;
    TFavorites* Favorites = nullptr;
};

struct TDirectoryCallbacks {
    std::function<void()> SetTabsChange;
    std::function<void()> RunSearch;      // page 2: runs the search and fills the list (FillFirms)
    std::function<void()> RunHouseSearch; // page 3
    std::function<void()> ShowBuilding;   // page 4: the selected building and its firms (FillFirms)
    std::function<void()> DiaryRefresh;   // page 5
    std::function<bool(const TQuery& firm)> LoadArticle; // LoadArticle for the firm row the query stands on
    std::function<void()> Publish;                       // the click of NPublish
    std::function<void()> DiaryAdd;                      // "Diary": the map's selected object into the diary
    std::function<void(int line)> DiaryDelete; // "DiaryDel" on a selected line: asks, deletes, saves
    std::function<void(bool)> SetIsFlying;
    std::function<void()> PaintNumberDom;
    // An information box; QMessageBox by default.
    std::function<void(const QString&)> ShowMessage;
};

// The page captions shown in lCapTab, by page index.
inline constexpr int kPageCount = 6;
extern const std::array<const char*, kPageCount> PageHints;

class DirectoryBrowser : public QObject {
    Q_OBJECT
public:
    DirectoryBrowser(TDirectoryControls controls, TDirectoryCallbacks callbacks, QObject* parent = nullptr);
    ~DirectoryBrowser() override;

    void ShowPage(int index, bool Reload);
    int ActivePage() const;

    // Fills the firm list from a firm query (qFirmsCur for the duration),
    // under a lead line when one is given.
    void FillFirms(TQuery& query, const QString& leadLine = {});
    // The search page's list from the search's query; when it found nothing,
    // the corrected search or the likely names follow (ForgivingSearch).
    void FillSearchResult(TQuery& found, MapEngine& map, AddressIndex& addresses);
    ForgivingSearch& Forgiving() { return *forgiving_; }
    // The firms named as firm `id`, its card open ("F" anchors).
    void ShowFirmsNamedAs(int id);
    void FillItem(int line);
    void lbFirmsAnchorClick(int index, const QString& anchor);
    void lbFirmsMouseDown(QPoint pos);
    void lbFirmsMouseMove();
    // Shows only the menu items that apply to the selected line; on a house
    // line that building becomes the map's current object, which is what
    // "Добавить в закладки" bookmarks.
    void pmFirmsPopup();

    void RefreshNullFoldersExecute();
    void tvFoldersChange();
    void ShowCategory(int id);
    void ShowMapObject(int id);

    CategoryTree& Tree() { return *tree_; }
    FirmList& Firms() { return *firms_; }

private:
    void setActivePage(int index);
    void showCategoriesPage(bool reload);
    void showFavoritesPage(bool reload);
    void setDown(QAbstractButton* button);
    void fillFavorites(TQuery& query);
    void showEmptyFavorites();
    FirmsMenuLine menuLine() const;
    void message(const QString& text) const;

    TDirectoryControls c_;
    TDirectoryCallbacks callbacks_;
    std::unique_ptr<CategoryTree> tree_;
    std::unique_ptr<FirmList> firms_;
    std::unique_ptr<ForgivingSearch> forgiving_;
    FirmListContent content_ = FirmListContent::Other;
};
