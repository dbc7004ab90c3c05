#include "DirectoryBrowser.h"

#include "Buildings.h"
#include "Datamodule.h"
#include "FirmMarkup.h"
#include "ForgivingSearch.h"
#include "THTMListBox.h"
#include "Uidlist.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

constexpr int kDiaryHeight = 120;

// qFirmsCur names the query being rendered only while a fill runs.
class CurrentFirmQuery {
public:
    explicit CurrentFirmQuery(TQuery& query) { qFirmsCur = &query; }
    ~CurrentFirmQuery() { qFirmsCur = nullptr; }
    CurrentFirmQuery(const CurrentFirmQuery&) = delete;
    CurrentFirmQuery& operator=(const CurrentFirmQuery&) = delete;
};

} // namespace

const std::array<const char*, kPageCount> PageHints = {"Каталог предприятий",   "Мои закладки",
                                                       "Поиск организаций",     "Поиск домов",
                                                       "Информация об объекте", "Дневник"};

DirectoryBrowser::DirectoryBrowser(TDirectoryControls controls, TDirectoryCallbacks callbacks,
                                   QObject* parent)
    : QObject(parent), c_(controls), callbacks_(std::move(callbacks)) {
    const auto activePage = [this] { return ActivePage(); };
    tree_ = std::make_unique<CategoryTree>(
        CategoryTreeContext{c_.tvFolders, c_.DataModule, c_.DataMap, c_.idLabels,
                            [this](int index, bool reload) { ShowPage(index, reload); }, activePage});
    firms_ = std::make_unique<FirmList>(FirmListContext{
        c_.lbFirms, c_.PicCnt, c_.IDList, c_.Favorites, c_.DataModule, c_.DataMap,
        [this] { return tree_->SelectedCategory() != 0; }, activePage,
        [this](const QString& text) { message(text); },
        [this](const TQuery& firm) { return callbacks_.LoadArticle && callbacks_.LoadArticle(firm); },
        callbacks_.SetIsFlying, callbacks_.PaintNumberDom});
    forgiving_ = std::make_unique<ForgivingSearch>(*c_.DataModule);

    c_.lbFirms->PictureContainer = c_.PicCnt;
    connect(c_.lbFirms, &THTMListBox::AnchorClick, this,
            [this](int index, const QString& href) { lbFirmsAnchorClick(index, href); });
    connect(c_.lbFirms, &THTMListBox::MouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, QPoint pos) { lbFirmsMouseDown(pos); });
    connect(c_.lbFirms, &THTMListBox::MouseMove, this, [this] { lbFirmsMouseMove(); });
    if (c_.pmFirms) {
        c_.lbFirms->PopupMenu = c_.pmFirms;
        connect(c_.pmFirms, &QMenu::aboutToShow, this, [this] { pmFirmsPopup(); });
    }
}

DirectoryBrowser::~DirectoryBrowser() = default;

int DirectoryBrowser::ActivePage() const {
    if (auto* tabs = qobject_cast<QTabWidget*>(c_.pcTabs))
        return tabs->currentIndex();
    if (auto* stack = qobject_cast<QStackedWidget*>(c_.pcTabs))
        return stack->currentIndex();
    return -1;
}

void DirectoryBrowser::setActivePage(int index) {
    if (auto* tabs = qobject_cast<QTabWidget*>(c_.pcTabs))
        tabs->setCurrentIndex(index);
    else if (auto* stack = qobject_cast<QStackedWidget*>(c_.pcTabs))
        stack->setCurrentIndex(index);
}

void DirectoryBrowser::ShowPage(int index, bool Reload) {
    if (index < 0 || index >= kPageCount)
        return;
    setActivePage(index);
    if (callbacks_.SetTabsChange)
        callbacks_.SetTabsChange();
    if (c_.lCapTab)
        c_.lCapTab->setText(QString::fromUtf8(PageHints[size_t(index)]));
    if (c_.mDiary)
        c_.mDiary->setFixedHeight(0);
    switch (index) {
    case 0:
        showCategoriesPage(Reload);
        break;
    case 1:
        showFavoritesPage(Reload);
        break;
    case 2:
        setDown(c_.btFind);
        if (callbacks_.RunSearch)
            callbacks_.RunSearch();
        break;
    case 3:
        content_ = FirmListContent::Other;
        if (callbacks_.RunHouseSearch)
            callbacks_.RunHouseSearch();
        break;
    case 4:
        setDown(c_.btBldInfo);
        if (callbacks_.ShowBuilding)
            callbacks_.ShowBuilding();
        break;
    case 5:
        if (c_.mDiary)
            c_.mDiary->setFixedHeight(kDiaryHeight);
        c_.lbFirms->Clear();
        content_ = FirmListContent::Other;
        if (callbacks_.DiaryRefresh)
            callbacks_.DiaryRefresh();
        break;
    default:
        break;
    }
}

void DirectoryBrowser::showCategoriesPage(bool reload) {
    const int category = tree_->SelectedCategory();
    if (category == 0)
        return;
    setDown(c_.btFolders);
    TDM& dm = *c_.DataModule;
    if (reload) {
        dm.qFirmsInFld.Close();
        dm.qFirmsInFld.ParamByName("FoldID").setAsInteger(category);
        dm.qFirmsInFld.Open();
    }
    dm.qFirmsStayOnTop.Open();
    const bool hasFirms = dm.qFirmsInFld.Active() && dm.qFirmsInFld.RecordCount() > 0;
    FillFirms(hasFirms ? dm.qFirmsInFld : dm.qFirmsStayOnTop);
}

void DirectoryBrowser::showFavoritesPage(bool reload) {
    setDown(c_.btFavorites);
    TQuery& favorites = c_.DataModule->qFirmsFavor;
    if (reload || !favorites.Active()) {
        favorites.Close();
        favorites.setSQL("SELECT * FROM FIRMS WHERE ID IN " +
                         QString::fromStdString(c_.Favorites->GetFavoriteStr()));
        favorites.Open();
    }
    // Favourites whose firms have all left the edition still get their lines,
    // so that they can be removed.
    if (c_.Favorites->IDs.empty())
        showEmptyFavorites();
    else
        fillFavorites(favorites);
}

// The message line is no favourite: IDList is emptied with the list, so no
// line can be taken for a favourite left over from the last fill.
void DirectoryBrowser::showEmptyFavorites() {
    c_.lbFirms->BeginUpdate();
    c_.lbFirms->Clear();
    c_.IDList->ClearAndFree();
    c_.lbFirms->Add(EmptyFavoritesMessage());
    c_.lbFirms->EndUpdate();
    content_ = FirmListContent::Other;
}

void DirectoryBrowser::FillFirms(TQuery& query, const QString& leadLine) {
    const CurrentFirmQuery current(query);
    if (firms_->FilllbFirms(leadLine))
        content_ = FirmListContent::Firms;
}

void DirectoryBrowser::FillSearchResult(TQuery& found, MapEngine& map, AddressIndex& addresses) {
    FillFirms(found);
    // Only the fill's own not-found message, not a list the fill left alone.
    const bool nothingFound = tree_->SelectedCategory() != 0 && c_.IDList->IDs.empty() &&
                              c_.lbFirms->Count() == 1 && c_.lbFirms->Item(0) == NothingFoundMessage();
    if (!nothingFound)
        return;
    if (const std::optional<QString> lead = forgiving_->RunCorrected(map, addresses)) {
        FillFirms(forgiving_->Corrected(), *lead);
        return;
    }
    const QStringList offers = forgiving_->OfferLines();
    c_.lbFirms->BeginUpdate();
    for (const QString& line : offers)
        c_.lbFirms->Add(line);
    c_.lbFirms->EndUpdate();
}

void DirectoryBrowser::ShowFirmsNamedAs(int id) {
    FillFirms(forgiving_->OpenNamedAs(id));
    if (const int line = c_.IDList->FindItemIndex(id); line >= 0)
        firms_->FillItem(line);
}

void DirectoryBrowser::fillFavorites(TQuery& query) {
    const CurrentFirmQuery current(query);
    firms_->FillFavorites();
    content_ = FirmListContent::Favorites;
}

void DirectoryBrowser::setDown(QAbstractButton* button) {
    if (button)
        button->setChecked(true);
}

void DirectoryBrowser::FillItem(int line) {
    firms_->FillItem(line);
}

void DirectoryBrowser::lbFirmsAnchorClick(int index, const QString& anchor) {
    c_.lbFirms->SetItemIndex(index);
    const FirmAnchor parsed = ParseFirmAnchor(anchor);
    switch (parsed.kind) {
    case FirmAnchor::Open:
        firms_->FillItem(c_.lbFirms->ItemIndex());
        break;
    case FirmAnchor::Publish:
        if (callbacks_.Publish)
            callbacks_.Publish();
        break;
    case FirmAnchor::Statya:
        firms_->ShowArticleOfLine(index);
        break;
    case FirmAnchor::Diary:
        if (callbacks_.DiaryAdd)
            callbacks_.DiaryAdd();
        break;
    case FirmAnchor::DiaryDel:
        if (c_.lbFirms->ItemIndex() >= 0 && callbacks_.DiaryDelete)
            callbacks_.DiaryDelete(c_.lbFirms->ItemIndex());
        break;
    case FirmAnchor::MapObject:
        ShowMapObject(parsed.id);
        break;
    case FirmAnchor::Category:
        ShowCategory(parsed.id);
        break;
    case FirmAnchor::Firm:
        ShowFirmsNamedAs(parsed.id);
        break;
    case FirmAnchor::External: // the list box opens these itself
    case FirmAnchor::Unknown:
        break;
    }
}

void DirectoryBrowser::lbFirmsMouseDown(QPoint pos) {
    c_.lbFirms->SetItemIndex(c_.lbFirms->ItemAtPos(pos));
}

void DirectoryBrowser::lbFirmsMouseMove() {
    if (!c_.lbFirms->hasFocus())
        c_.lbFirms->setFocus();
}

FirmsMenuLine DirectoryBrowser::menuLine() const {
    const int line = c_.lbFirms->ItemIndex();
    if (line < 0 || line >= c_.lbFirms->Count())
        return {ActivePage(), content_};
    return {ActivePage(), content_, line, HouseLineObject(c_.lbFirms->Item(line)).has_value()};
}

void DirectoryBrowser::pmFirmsPopup() {
    const FirmsMenuLine at = menuLine();
    FirmsMenuVisibility visibility = FirmsMenuFor(at, *c_.IDList, *c_.Favorites);
    if (visibility.addBookmark)
        visibility.addBookmark = firms_->SelectMapObject(*HouseLineObject(c_.lbFirms->Item(at.line)));
    if (c_.NAddToFavorites)
        c_.NAddToFavorites->setVisible(visibility.addToFavorites);
    if (c_.NDelFavorite)
        c_.NDelFavorite->setVisible(visibility.deleteFavorite);
    if (c_.NFAddBookmark)
        c_.NFAddBookmark->setVisible(visibility.addBookmark);
}

void DirectoryBrowser::RefreshNullFoldersExecute() {
    tree_->RefreshNullFoldersExecute();
}

void DirectoryBrowser::tvFoldersChange() {
    tree_->tvFoldersChange();
}

void DirectoryBrowser::ShowCategory(int id) {
    tree_->ShowCategory(id);
}

void DirectoryBrowser::ShowMapObject(int id) {
    firms_->ShowMapObject(id);
}

void DirectoryBrowser::message(const QString& text) const {
    if (callbacks_.ShowMessage)
        callbacks_.ShowMessage(text);
    else
        QMessageBox::information(c_.lbFirms ? c_.lbFirms->window() : nullptr, "Информация", text);
}
