#include "FirmList.h"

#include "Datamodule.h"
#include "TDataMap.h"
#include "THTMListBox.h"
#include "TPictureContainer.h"
#include "Uidlist.h"

#include <stdexcept>

namespace {

constexpr int kFirmType = 2;
constexpr double kAddressScale = 5000;
constexpr double kAddressPace = 15;

// The list's update bracket, closed again however the fill ends.
class ListUpdate {
public:
    explicit ListUpdate(THTMListBox& list) : list_(list) { list_.BeginUpdate(); }
    ~ListUpdate() { list_.EndUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;

private:
    THTMListBox& list_;
};

void redraw(TDataMap& map) {
    map.ForceRedraw = true;
    map.Risovan();
    map.update();
}

} // namespace

FirmAnchor ParseFirmAnchor(const QString& href) {
    if (href == "Open")
        return {FirmAnchor::Open};
    if (href == "Publish")
        return {FirmAnchor::Publish};
    if (href == "Statya")
        return {FirmAnchor::Statya};
    if (href == "Diary")
        return {FirmAnchor::Diary};
    if (href == "DiaryDel")
        return {FirmAnchor::DiaryDel};
    if (href.startsWith("http://", Qt::CaseInsensitive) || href.startsWith("mailto:", Qt::CaseInsensitive))
        return {FirmAnchor::External};
    if (href.startsWith('A') || href.startsWith('C') || href.startsWith('F')) {
        bool ok = false;
        const int id = href.mid(1).trimmed().toInt(&ok);
        if (ok)
            return {href.startsWith('A')   ? FirmAnchor::MapObject
                    : href.startsWith('C') ? FirmAnchor::Category
                                           : FirmAnchor::Firm,
                    id};
    }
    return {FirmAnchor::Unknown};
}

FirmsMenuVisibility FirmsMenuFor(const FirmsMenuLine& at, const TIDList& listed,
                                 const TFavorites& favorites) {
    const bool firmLine = at.content != FirmListContent::Other && at.line >= 0 &&
                          static_cast<std::size_t>(at.line) < listed.IDs.size() &&
                          listed.IDs[size_t(at.line)] > 0;
    switch (at.page) {
    case 0:
    case 2:
    case 4:
        return {.addToFavorites = firmLine};
    case 1:
        return {.deleteFavorite = firmLine && at.content == FirmListContent::Favorites &&
                                  static_cast<std::size_t>(at.line) < favorites.IDs.size() &&
                                  favorites.IDs[size_t(at.line)] == listed.IDs[size_t(at.line)]};
    case 3:
        return {.addBookmark = at.houseLine};
    default:
        return {};
    }
}

FirmList::FirmList(FirmListContext context)
    : c_(std::move(context)),
      firm_(std::make_unique<TQuery>(c_.DataModule->Con, "qFirmCard",
                                     "SELECT * FROM FIRMS WHERE (TypeID=2) AND (ID = :ID)")) {}

FirmList::~FirmList() = default;

bool FirmList::FilllbFirms(const QString& leadLine) {
    if (!c_.CategorySelected || !c_.CategorySelected())
        return false;
    TQuery& firms = *qFirmsCur;
    ListUpdate update(*c_.lbFirms);
    c_.lbFirms->Clear();
    c_.IDList->ClearAndFree();
    if (!leadLine.isEmpty()) {
        c_.lbFirms->Add(leadLine);
        c_.IDList->Add(0);
    }
    for (firms.First(); !firms.Eof(); firms.Next())
        appendFirm(firms);
    if (c_.lbFirms->Count() > 0)
        return true;
    switch (c_.ActivePage ? c_.ActivePage() : 0) {
    case 0:
        c_.lbFirms->Add(EmptyCategoryMessage());
        break;
    case 2:
        c_.lbFirms->Add(NothingFoundMessage());
        break;
    case 4:
        c_.lbFirms->Add(EmptyBuildingMessage());
        break;
    default:
        break;
    }
    return true;
}

void FirmList::FillFavorites() {
    TQuery& firms = *qFirmsCur;
    ListUpdate update(*c_.lbFirms);
    c_.lbFirms->Clear();
    c_.IDList->ClearAndFree();
    for (const std::int32_t id : c_.Favorites->IDs) {
        if (firms.Locate("ID", id)) {
            appendFirm(firms);
            continue;
        }
        // The firm has left the edition since it was added: its line stays so
        // that line i is still favourite i and it can be removed.
        c_.IDList->Add(id);
        c_.lbFirms->Add(MissingFavoriteLine(id));
    }
}

void FirmList::appendFirm(const TQuery& firms) {
    extractLogo(firms);
    c_.IDList->Add(firms.FieldByName("ID").AsInteger());
    c_.IDList->Flags.back() = true;
    const int line = c_.lbFirms->Add(QString());
    // The row in hand is the firm's FIRMS row, so the short form is drawn from
    // it rather than looked up again in qFirms for every line.
    if (firms.FieldByName("TypeID").AsInteger() == kFirmType)
        renderLine(line, firms);
    c_.IDList->Flags[size_t(line)] = false;
}

void FirmList::extractLogo(const TQuery& firms) {
    const TField image = firms.FieldByName("Image");
    if (image.IsNull())
        return;
    const QString name =
        LogoPictureName(firms.FieldByName("ID").AsInteger(), firms.FieldByName("ImageName").AsString());
    if (c_.PicCnt->Contains(name))
        return;
    // A logo that is no picture leaves the firm without one; the rest of the
    // list is still worth showing.
    c_.PicCnt->AddFromData(name, image.AsBlob());
}

void FirmList::FillItem(int line) {
    TIDList& ids = *c_.IDList;
    if (ids.IDs.empty() || line < 0 || line >= int(ids.IDs.size()))
        return;
    ListUpdate update(*c_.lbFirms);
    if (locateFirm(ids.IDs[size_t(line)]))
        renderLine(line, *firm_);
    ids.Flags[size_t(line)] = !ids.Flags[size_t(line)];
}

void FirmList::renderLine(int line, const TQuery& row) {
    const FirmCardData firm = FirmCardFromRow(row);
    if (c_.IDList->Flags[size_t(line)]) {
        c_.lbFirms->SetItem(line, FirmShortForm(firm));
        return;
    }
    if (firm.hasArticle && c_.LoadArticle)
        c_.LoadArticle(row);
    const std::vector<FirmCategoryLink> categories = categoriesOf(firm.id);
    c_.lbFirms->SetItem(line, FirmFullCard(firm, categories, addressesOf(firm.id)));
}

std::vector<FirmCategoryLink> FirmList::categoriesOf(int firmId) {
    TQuery& folds = c_.DataModule->qFirmsFold;
    folds.Close();
    folds.ParamByName("FirmID").setAsInteger(firmId);
    folds.Open();
    std::vector<FirmCategoryLink> categories;
    for (folds.First(); !folds.Eof(); folds.Next())
        categories.push_back(
            {folds.FieldByName("FoldID").AsInteger(), folds.FieldByName("FoldName").AsString()});
    folds.Close();
    return categories;
}

QString FirmList::addressesOf(int firmId) {
    TQuery& addresses = c_.DataModule->qFirmsAdr;
    addresses.setSQL("SELECT * FROM FirmsAdr WHERE ((Firm_ID = " + QString::number(firmId) +
                     ") and (NOT IsBanner))");
    addresses.Open();
    QString piece;
    TDataMap& map = *c_.DataMap;
    for (addresses.First(); !addresses.Eof(); addresses.Next()) {
        const int objectId = addresses.FieldByName("Obj_ID").AsInteger();
        const int index = map.FindObjectID(objectId, 0);
        if (index < 0) {
            message(kObjectNotOnMap);
            continue;
        }
        map.EditObject(index);
        piece += AddressMarkup({objectId, map.CurrentObject().Street, map.CurrentObject().House,
                                addresses.FieldByName("Office").AsOptionalString(),
                                addresses.FieldByName("MiniBus").AsOptionalString(),
                                addresses.FieldByName("Bus").AsOptionalString(),
                                addresses.FieldByName("Phones").AsString()});
    }
    addresses.Close();
    return piece;
}

bool FirmList::locateFirm(int id) {
    firm_->Close();
    firm_->ParamByName("ID").setAsInteger(id);
    firm_->Open();
    return !firm_->Eof();
}

bool FirmList::ShowArticleOfLine(int line) {
    if (line < 0 || line >= int(c_.IDList->IDs.size()) || !locateFirm(c_.IDList->IDs[size_t(line)]))
        return false;
    return c_.LoadArticle && c_.LoadArticle(*firm_);
}

bool FirmList::SelectMapObject(int id) {
    TDataMap& map = *c_.DataMap;
    const int index = map.FindObjectID(id, 0);
    if (index < 0 || !map.EditObject(index))
        return false;
    redraw(map);
    return true;
}

void FirmList::ShowMapObject(int id) {
    TDataMap& map = *c_.DataMap;
    const int index = map.FindObjectID(id, 0);
    if (index < 0) {
        message(kObjectNotOnMap);
        return;
    }
    map.EditObject(index);
    if (c_.SetIsFlying)
        c_.SetIsFlying(true);
    map.Fly(map.CurrentObject().X, map.CurrentObject().Y, kAddressScale, kAddressPace);
    if (c_.SetIsFlying)
        c_.SetIsFlying(false);
    if (c_.PaintNumberDom)
        c_.PaintNumberDom();
    redraw(map);
}

void FirmList::message(const QString& text) const {
    if (c_.ShowMessage)
        c_.ShowMessage(text);
}
