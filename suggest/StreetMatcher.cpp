#include "StreetMatcher.h"

#include "EditDistance.h"
#include "TextForms.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr double kInsideWord = 0.5;
constexpr double kNoMatch = 1e9;

// A longer text has more words to slip in.
int slipsForgivenInStreet(qsizetype length) {
    return length <= 2 ? 0 : length <= 4 ? 1 : length <= 11 ? 2 : 3;
}

QString comparedText(const QString& text) {
    return ComparedWords(text).join(' ');
}

} // namespace

StreetMatcher::StreetMatcher(const QStringList& streets) : names_(streets) {
    streets_.reserve(size_t(streets.size()));
    for (const QString& name : streets) {
        Street street{comparedText(name), {}};
        for (qsizetype i = 0; i < street.compared.size(); ++i)
            if (i == 0 || street.compared.at(i - 1) == u' ')
                street.starts.push_back(i);
        streets_.push_back(std::move(street));
    }
}

double StreetMatcher::costOf(const Street& street, const QString& typed) const {
    const int limit = slipsForgivenInStreet(typed.size());
    int fewest = limit + 1;
    for (const qsizetype start : street.starts) {
        fewest = std::min(fewest, PrefixSlipDistance(typed, QStringView(street.compared).mid(start), limit));
        if (fewest == 0)
            return 0;
    }
    if (street.compared.contains(typed))
        return kInsideWord;
    return fewest <= limit ? fewest : kNoMatch;
}

QStringList StreetMatcher::Matching(const QString& typed, int limit) const {
    QStringList readings{comparedText(typed)};
    if (readings.front().isEmpty())
        return names_.mid(0, limit);
    const bool latin = MostlyLatin(typed);
    for (const QString& other : {SwapKeyboardLayout(typed), latin ? LatinToCyrillic(typed) : QString(),
                                 latin ? LatinToCyrillic(typed, false) : QString()})
        if (const QString compared = comparedText(other); !compared.isEmpty() && !readings.contains(compared))
            readings.append(compared);

    std::vector<double> costs(streets_.size(), kNoMatch);
    for (std::size_t s = 0; s < streets_.size(); ++s)
        for (qsizetype r = 0; r < readings.size(); ++r)
            costs[s] = std::min(costs[s], costOf(streets_[s], readings[r]) + (r > 0 ? kOtherForm : 0));

    std::vector<int> order(streets_.size());
    std::iota(order.begin(), order.end(), 0);
    std::erase_if(order, [&costs](int s) { return costs[size_t(s)] >= kNoMatch; });
    std::stable_sort(order.begin(), order.end(),
                     [&costs](int a, int b) { return costs[size_t(a)] < costs[size_t(b)]; });
    QStringList matching;
    for (std::size_t i = 0; i < order.size() && int(i) < limit; ++i)
        matching.append(names_.at(order[i]));
    return matching;
}
