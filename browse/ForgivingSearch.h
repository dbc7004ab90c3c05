// What the search page offers after a firm search that found nothing. The
// search itself is left exactly as it is; only its empty result is followed
// by the search the user most likely meant (the name read in the other
// keyboard layout or alphabet, with its slips mended), or, when no single
// correction is clear, by a short list of likely firm names and categories.
#pragma once

#include "SearchQuery.h"
#include "SuggestIndex.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class AddressIndex;
class MapEngine;
class TDM;
class TQuery;

inline constexpr const char* kMaybeYouMeant = "Возможно, вы искали:";
inline constexpr int kOffersShown = 10;

// "Ничего не найдено по запросу «fgntrf». Показаны результаты по запросу «аптека»".
QString CorrectedSearchLine(const QString& typed, const QString& correction);
// A firm name as a link "F" + ID that lists the firms of that name; a
// category as the category link "C" + ID behind the category icon.
QString OfferLine(const Offer& offer);

class ForgivingSearch {
public:
    // The names are indexed now when the edition is open, otherwise when
    // first needed.
    explicit ForgivingSearch(TDM& dm);
    ~ForgivingSearch();
    ForgivingSearch(const ForgivingSearch&) = delete;
    ForgivingSearch& operator=(const ForgivingSearch&) = delete;

    // The criteria of the search that ran last; its result is what the
    // page shows until the next one.
    void SearchRan(const SearchCriteria& criteria);
    // Runs the last search again with its name corrected, on Corrected().
    // The line that heads its result, or none when there is no single
    // correction or the corrected search finds nothing either.
    std::optional<QString> RunCorrected(MapEngine& map, AddressIndex& addresses);
    TQuery& Corrected() { return *corrected_; }
    // The lines of likely names for the last search's name; none when
    // nothing is close to it.
    QStringList OfferLines();
    // The firms named exactly as firm `id`, opened on the query returned.
    TQuery& OpenNamedAs(int id);

private:
    const SuggestIndex& index();
    std::optional<QString> searchedName() const;

    TDM& dm_;
    std::optional<SuggestIndex> index_;
    std::optional<SearchCriteria> searched_;
    std::unique_ptr<TQuery> corrected_;
    std::unique_ptr<TQuery> namedAs_;
};
