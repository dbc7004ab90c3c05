// The main window's parts put together: the directory panel's browser and
// its pages (search, house search, building, favourites, diary), the map's
// navigation, printing, the help and send menus, and the banners.
#include "AddressIndex.h"
#include "BannerRotation.h"
#include "Bookmarks.h"
#include "Buildings.h"
#include "Datamodule.h"
#include "Diary.h"
#include "DirectoryBrowser.h"
#include "ExportMenus.h"
#include "Favorites.h"
#include "ForgivingSearch.h"
#include "HelpMenu.h"
#include "MapNavigation.h"
#include "MapNavigator.h"
#include "MapPrintMenu.h"
#include "PaintHooks.h"
#include "SearchFields.h"
#include "SendMenu.h"
#include "StreetCombo.h"
#include "TBannerImage.h"
#include "TDataMap.h"
#include "THTMListBox.h"
#include "TMapRoutes.h"
#include "TOrvEdit.h"
#include "TfrmMain.h"
#include "Uidlist.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>

namespace {

constexpr int kSearchPage = 2;
constexpr int kHouseSearchPage = 3;
constexpr int kBuildingPage = 4;
constexpr int kDiaryPage = 5;

// The first category of a firm, 0 when it has none. The query is closed
// again however the reading ends.
int FirstCategoryOf(TQuery& qFirmsFold, int firmId) {
    struct Closer {
        TQuery& query;
        ~Closer() { query.Close(); }
    } closer{qFirmsFold};
    qFirmsFold.Close();
    qFirmsFold.ParamByName("FirmID").setAsInteger(firmId);
    qFirmsFold.Open();
    if (qFirmsFold.Eof() || qFirmsFold.FieldByName("FoldID").IsNull())
        return 0;
    return qFirmsFold.FieldByName("FoldID").AsInteger();
}

} // namespace

// --- Controllers that need only the window's controls --------------------

void TfrmMain::createMapControllers() {
    addressIndex_ = std::make_unique<AddressIndex>(DataMap->model());
    streetCombo_ = std::make_unique<StreetCombo>(*cbStreet);
    houseStreetCombo_ = std::make_unique<StreetCombo>(*cbfhStreet);
    SetSearchPlaceholders({edName, cbStreet, edHouse, edPhone, edPostIndex, edWeb, edEmail});
    SetHouseSearchPlaceholders(*edfhHouse, *edfhPostIndex);

    TMapNavigatorCallbacks callbacks;
    callbacks.ShowBuildingPage = [this] { ShowPage(kBuildingPage, true); };
    callbacks.DiaryPageActive = [this] { return pcTabs->currentIndex() == kDiaryPage; };
    callbacks.LabelBuilding = [](std::int32_t labelId) -> std::optional<std::int32_t> {
        if (!idLabels)
            return std::nullopt;
        return LabelBuildingID(*idLabels, labelId);
    };
    // "Добавить в закладки" of the map menu carries out aAddBookmark itself.
    // The building goes into the day the diary page shows, so the page comes first.
    callbacks.AddToDiary = [this] {
        btDiary->setChecked(true);
        ShowPage(kDiaryPage, false);
        diary_->AddBuilding();
    };
    navigator_ = new TMapNavigator({DataMap, btScale, btPick, btDragMap, btiMeasure, btScaleInc, btScaleDec,
                                    btMiniMap, lInfo, pmMap, NAddBookmark, NDiaryAdd, NIncScale, NScaleDec},
                                   {&MinScale, &MaxScale, &StepScale, &IsFlying}, std::move(callbacks), this);

    routes_ = new TMapRoutes(
        DataMap, pmMap,
        [this](const QStringList& lines) {
            QStringList items{QStringLiteral("<b>%1</b>").arg(lines.value(0).toHtmlEscaped())};
            for (qsizetype i = 1; i < lines.size(); ++i)
                items.push_back(lines[i].toHtmlEscaped());
            lbFirms->Assign(items);
        },
        [this] { ShowPage(pcTabs->currentIndex(), false); }, this);
    connect(lbBldInfo, &THTMListBox::AnchorClick, this, [this](int, const QString& href) {
        const RouteAnchor end = ParseRouteAnchor(href);
        if (end != RouteAnchor::None)
            routes_->ChooseEnd(end == RouteAnchor::From);
    });

    printMenu_ = new MapPrintMenu(DataMap, btPrint, this);
    pmPrint = printMenu_->pmPrint;
    NPrint = printMenu_->nMapPrint;
    NSaveToFile = printMenu_->NMapSaveToFile;

    helpMenu_ = new THelpMenu(this);
    helpMenu_->Map = DataMap;
    helpMenu_->LoadPriceList = [this] { LoadPriceList(); };
    pmHelp = helpMenu_->pmHelp;
    NPriceList = helpMenu_->NPricelist;
    NHelp = helpMenu_->NHelp;
    NLicense = helpMenu_->NLicense;
    NFriends = helpMenu_->NFriends;
    NSettings = helpMenu_->NSettings;
    NAbout = helpMenu_->NAbout;
    connect(btHelp, &QToolButton::clicked, helpMenu_, [this] { helpMenu_->PopupUnder(btHelp); });

    ConnectPmSend(pmSend);
    connect(btSendPublish, &QToolButton::clicked, this,
            [this] { pmSend->popup(btSendPublish->mapToGlobal(QPoint(0, btSendPublish->height()))); });

    bannerRotation_ = new TBannerRotation(ImgBanFrontTRIDIns, ImgBanFrontBRIDIns, this);
    tBanFrontTR = &bannerRotation_->tBanFrontTR;
    tBanFrontBR = &bannerRotation_->tBanFrontBR;
}

// --- Controllers over the lists the creation made -------------------------

void TfrmMain::createDirectoryControllers() {
    helpMenu_->LocalPath = LocalPath;
    helpMenu_->VersionProgram = VersionProgram;

    diary_ = new TDiary(*MonthCalendar, *mDiary, *lbFirms, *DataMap,
                        TDiaryStore(RegDiary.toStdString(), RegDiaryObj.toStdString()), this);

    TDirectoryCallbacks callbacks;
    callbacks.SetTabsChange = [this] { SetTabsChange(); };
    callbacks.RunSearch = [this] { runSearch(); };
    callbacks.RunHouseSearch = [this] { runHouseSearch(); };
    callbacks.ShowBuilding = [this] { showBuilding(); };
    callbacks.DiaryRefresh = [this] { diary_->Refresh(); };
    callbacks.LoadArticle = [this](const TQuery& firm) { return LoadArticle(firm); };
    callbacks.Publish = [] { NPublishClick(); };
    callbacks.DiaryAdd = [this] { diary_->AddBuilding(); };
    callbacks.DiaryDelete = [this](int) { diary_->DeleteSelected(); };
    callbacks.SetIsFlying = [](bool flying) { IsFlying = flying; };
    callbacks.PaintNumberDom = [this] { PaintNumberDom(*DataMap); };
    browser_ = new DirectoryBrowser({tvFolders, lbFirms, pcTabs, lCapTab, mDiary, DataMap, PicCnt, btFolders,
                                     btFavorites, btFind, btBldInfo, pmFirms, NAddToFavorites, NDelFavorite,
                                     NFAddBookmark, DM, IDList, idLabels, Favorites},
                                    std::move(callbacks), this);
    new ExportMenus({this, pmFirms, pmBookmarks, lbFirms, IDList, DM, DataMap, [this] { return browser_->ActivePage(); },
                     [this] { return bookmarks_.get(); }, RegDiary.toStdString(), RegDiaryObj.toStdString()},
                    this);
}

void TfrmMain::connectActions() {
    connect(aAddBookmark, &QAction::triggered, this, [this] { bookmarks_->AddBookmark(); });
    connect(aDelBookmark, &QAction::triggered, this, [this] { bookmarks_->DeleteBookmark(); });
    connect(aAddToFavorites, &QAction::triggered, this, [this] {
        if (AddToFavorites(*Favorites, *IDList, lbFirms->ItemIndex()))
            ShowPage(1, true);
    });
    connect(aDelFavorite, &QAction::triggered, this, [this] {
        if (DeleteFavorite(*Favorites, lbFirms->ItemIndex()))
            ShowPage(1, true);
    });
}

// --- The search pages -----------------------------------------------------

void TfrmMain::connectSearchPages() {
    const auto search = [this] { ShowPage(kSearchPage, true); };
    for (QLineEdit* field :
         {static_cast<QLineEdit*>(edName), cbStreet->lineEdit(), static_cast<QLineEdit*>(edHouse),
          static_cast<QLineEdit*>(edPhone), static_cast<QLineEdit*>(edPostIndex),
          static_cast<QLineEdit*>(edWeb), static_cast<QLineEdit*>(edEmail)})
        connect(field, &QLineEdit::returnPressed, this, search);
    const auto houseSearch = [this] { ShowPage(kHouseSearchPage, true); };
    for (QLineEdit* field :
         {cbfhStreet->lineEdit(), static_cast<QLineEdit*>(edfhHouse), static_cast<QLineEdit*>(edfhPostIndex)})
        connect(field, &QLineEdit::returnPressed, this, houseSearch);

    for (auto [button, edit] :
         {std::pair{btName, edName}, std::pair{btPhone, edPhone}, std::pair{btPhoneIndex, edPostIndex},
          std::pair{btWeb, edWeb}, std::pair{btEmail, edEmail}, std::pair{btfhPostIndex, edfhPostIndex}})
        connect(button, &QToolButton::clicked, edit, &TOrvEdit::ShowShadow);
    connect(btAddress, &QToolButton::clicked, this, [this] {
        streetCombo_->ShowPlaceholder();
        edHouse->ShowShadow();
    });
    connect(btfhAddress, &QToolButton::clicked, this, [this] {
        houseStreetCombo_->ShowPlaceholder();
        edfhHouse->ShowShadow();
    });
}

void TfrmMain::runSearch() {
    if (pageReload_) {
        const SearchCriteria criteria =
            SearchCriteriaOf({edName, cbStreet, edHouse, edPhone, edPostIndex, edWeb, edEmail});
        if (RunFirmsFind(DM->qFirmsFind, criteria, *DataMap, *addressIndex_))
            browser_->Forgiving().SearchRan(criteria);
    }
    if (DM->qFirmsFind.Active())
        browser_->FillSearchResult(DM->qFirmsFind, *DataMap, *addressIndex_);
    else
        lbFirms->Clear();
}

void TfrmMain::runHouseSearch() {
    if (pageReload_)
        *FindHouses = SearchHouses(*DataMap, *addressIndex_, AddressCriterionOf(*cbfhStreet, *edfhHouse));
    lbFirms->Assign(*FindHouses);
}

void TfrmMain::showBuilding() {
    if (pageReload_) {
        QStringList lines = BuildingInfoLines(DataMap->CurrentObject(), DM->qPostIndex, DM->qRefPostIdx);
        if (routes_->OffersRouteFor(DataMap->CurrentObject()))
            lines << BuildingRouteLine();
        lbBldInfo->BeginUpdate();
        lbBldInfo->Clear();
        for (const QString& line : lines)
            lbBldInfo->Add(line);
        lbBldInfo->EndUpdate();
        OpenFirmsOfBuilding(DM->qFirmsBld, DataMap->CurrentObject().ID);
    }
    if (DM->qFirmsBld.Active())
        browser_->FillFirms(DM->qFirmsBld);
    else
        lbFirms->Clear();
}

// --- Banners --------------------------------------------------------------

void TfrmMain::ImgBanClick(TBannerImage* sender) {
    // The closing screen's banners come after the lists of the window are gone.
    if (destroying_ || !sender || sender->Tag <= 0)
        return;
    const int firmId = sender->Tag;
    const int category = FirstCategoryOf(DM->qFirmsFold, firmId);
    if (category <= 0)
        return;
    browser_->ShowCategory(category);
    const int line = IDList->FindItemIndex(firmId);
    if (line < 0)
        return;
    IDList->Flags[size_t(line)] = false;
    browser_->FillItem(line);
}
