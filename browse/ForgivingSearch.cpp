#include "ForgivingSearch.h"

#include "Datamodule.h"
#include "EditionEntries.h"
#include "FirmMarkup.h"
#include "Vdlconsts.h"

namespace {

constexpr int kCategoryPicture = 7;

} // namespace

QString CorrectedSearchLine(const QString& typed, const QString& correction) {
    return "Ничего не найдено по запросу «" + EscapeMarkup(typed.trimmed()) +
           "». Показаны результаты по запросу «" + EscapeMarkup(correction) + "»";
}

QString OfferLine(const Offer& offer) {
    if (offer.kind == EntryKind::Category)
        return "<IMG src=\"" + QString::fromLatin1(LoadPics[kCategoryPicture]) +
               "\" align=\"left\"><A href=\"C" + QString::number(offer.id) + "\">" +
               EscapeMarkup(offer.text) + "</A>";
    return "<A href=\"F" + QString::number(offer.id) + "\">" + EscapeMarkup(offer.text) + "</A>";
}

ForgivingSearch::ForgivingSearch(TDM& dm)
    : dm_(dm), corrected_(std::make_unique<TQuery>(dm.Con, "qFirmsCorrected")),
      namedAs_(
          std::make_unique<TQuery>(dm.Con, "qFirmsNamedAs",
                                   "SELECT * FROM FIRMS WHERE (TypeID=2) AND (Name = (SELECT Name FROM FIRMS "
                                   "WHERE ID = :ID)) ORDER BY Place ASC, Name ASC")) {
    if (dm_.Con.Connected())
        index_.emplace(EditionEntries(dm_.Con));
}

ForgivingSearch::~ForgivingSearch() = default;

const SuggestIndex& ForgivingSearch::index() {
    if (!index_)
        index_.emplace(EditionEntries(dm_.Con));
    return *index_;
}

void ForgivingSearch::SearchRan(const SearchCriteria& criteria) {
    searched_ = criteria;
}

std::optional<QString> ForgivingSearch::searchedName() const {
    if (!searched_ || !searched_->Name || searched_->Name->trimmed().isEmpty())
        return std::nullopt;
    return searched_->Name;
}

std::optional<QString> ForgivingSearch::RunCorrected(MapEngine& map, AddressIndex& addresses) {
    const std::optional<QString> name = searchedName();
    if (!name)
        return std::nullopt;
    const std::optional<Offer> correction = index().Correction(*name);
    if (!correction)
        return std::nullopt;
    SearchCriteria corrected = *searched_;
    corrected.Name = correction->correction;
    if (!RunFirmsFind(*corrected_, corrected, map, addresses) || corrected_->Eof())
        return std::nullopt;
    return CorrectedSearchLine(*name, correction->correction);
}

QStringList ForgivingSearch::OfferLines() {
    const std::optional<QString> name = searchedName();
    if (!name)
        return {};
    const std::vector<Offer> offers = index().Offers(*name, kOffersShown);
    if (offers.empty())
        return {};
    QStringList lines{QString::fromUtf8(kMaybeYouMeant)};
    for (const Offer& offer : offers)
        lines << OfferLine(offer);
    return lines;
}

TQuery& ForgivingSearch::OpenNamedAs(int id) {
    namedAs_->Close();
    namedAs_->ParamByName("ID").setAsInteger(id);
    namedAs_->Open();
    return *namedAs_;
}
