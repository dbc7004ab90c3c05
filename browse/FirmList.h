// The firm list lbFirms: its filling from a firm query (or in favourites
// order), the logos in the list's picture container, the rendering of one
// line as short form or full card, the anchor vocabulary and the pop-up
// menu's visibility table.
#pragma once

#include "FirmMarkup.h"

#include <QString>
#include <functional>
#include <memory>

class TDataMap;
class TDM;
class TFavorites;
class TIDList;
class THTMListBox;
class TPictureContainer;
class TQuery;

// What an href of the list asks for. "A", "C" and "F" look at the first
// character only and read the rest as a decimal number.
struct FirmAnchor {
    enum Kind { Open, Publish, Statya, Diary, DiaryDel, MapObject, Category, Firm, External, Unknown };
    Kind kind = Unknown;
    int id = 0; // map object, category or firm
};
FirmAnchor ParseFirmAnchor(const QString& href);

// Which items of pmFirms show: NAddToFavorites, NDelFavorite, NFAddBookmark.
struct FirmsMenuVisibility {
    bool addToFavorites = false;
    bool deleteFavorite = false;
    bool addBookmark = false;

    bool operator==(const FirmsMenuVisibility&) const = default;
};

// What the firm list was last filled with by the page display.
enum class FirmListContent { Other, Firms, Favorites };

// The line the pop-up menu opens on.
struct FirmsMenuLine {
    int page = 0;
    FirmListContent content = FirmListContent::Other;
    int line = -1;          // -1 for no line
    bool houseLine = false; // the line links one building of the map
};

// Only what applies to that line: adding the firm of a firm line (pages 0,
// 2 and 4), removing the favourite of a favourites line (page 1, where line
// i must still be favourite i), bookmarking the building of a house line
// (page 3). Messages, diary lines, empty space and lists the page did not
// fill get nothing.
FirmsMenuVisibility FirmsMenuFor(const FirmsMenuLine& at, const TIDList& listed, const TFavorites& favorites);

inline constexpr const char* kObjectNotOnMap = "Объект не найден на карте";

struct FirmListContext {
    THTMListBox* lbFirms = nullptr;
    TPictureContainer* PicCnt = nullptr;
    TIDList* IDList = nullptr;
    TFavorites* Favorites = nullptr;
    TDM* DataModule = nullptr;
    TDataMap* DataMap = nullptr;
    std::function<bool()> CategorySelected; // a node of tvFolders is selected
    std::function<int()> ActivePage;        // the index of pcTabs' active page
    std::function<void(const QString&)> ShowMessage;
    // Shows the article of a firm: the query stands on the firm's FIRMS row
    // (ID, Name, article); false when it has none.
    std::function<bool(const TQuery& firm)> LoadArticle;
    // Around a flight of the map (the main window's IsFlying), and the
    // house numbers refreshed for the scale the flight ended at.
    std::function<void(bool)> SetIsFlying;
    std::function<void()> PaintNumberDom;
};

class FirmList {
public:
    explicit FirmList(FirmListContext context);
    ~FirmList();

    // Refills the list and IDList from qFirmsCur; nothing at all happens
    // while no category of the tree is selected (false). A lead line goes
    // above the firms, with the ID 0 of no firm in IDList.
    bool FilllbFirms(const QString& leadLine = {});
    // Refills them in the order of Favorites, reading the firms from qFirmsCur.
    void FillFavorites();
    // Renders a line as short form or full card and inverts its flag.
    void FillItem(int line);
    // The article of the firm on a line; false when it has none.
    bool ShowArticleOfLine(int line);
    // Flies the map to an object; the message when it is not on the map.
    void ShowMapObject(int id);
    // Makes an object the map's current one where the map stands; false
    // when it is not on the map.
    bool SelectMapObject(int id);

private:
    void extractLogo(const TQuery& firms);
    void appendFirm(const TQuery& firms);
    void renderLine(int line, const TQuery& row);
    QString addressesOf(int firmId);
    std::vector<FirmCategoryLink> categoriesOf(int firmId);
    bool locateFirm(int id);
    void message(const QString& text) const;

    FirmListContext c_;
    // One firm by its key: qFirms would have to be walked row by row, and
    // every row it passes brings its logo and article along.
    std::unique_ptr<TQuery> firm_;
};
