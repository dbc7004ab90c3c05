#include "SuggestIndex.h"

#include "EditDistance.h"
#include "TextForms.h"

#include <QPair>
#include <algorithm>
#include <climits>
#include <unordered_map>

namespace {

constexpr double kOtherOrder = 0.5;
// Longer queries are sentences, not names.
constexpr qsizetype kLongestQuery = 8;
// Only the closest candidates get their firms counted.
constexpr std::size_t kCounted = 200;
constexpr qsizetype kLongestWord = 64;

// Short words are forgiven nothing: one slip turns most of them into others.
constexpr int kMostSlips = 2;
int slipsForgiven(qsizetype length) {
    return length <= 2 ? 0 : length <= 5 ? 1 : kMostSlips;
}

bool closerOffer(const Offer& a, const Offer& b) {
    if (a.cost != b.cost)
        return a.cost < b.cost;
    if (a.extraWords != b.extraWords)
        return a.extraWords < b.extraWords;
    if (a.firms != b.firms)
        return a.firms > b.firms;
    return a.text < b.text;
}

} // namespace

struct SuggestIndex::Reading {
    QStringList words;
    double cost = 0;
};

struct SuggestIndex::Match {
    int entry = -1;
    double cost = 0;
    int first = 0; // the first and last word of the entry that a query word named
    int last = 0;
    int extraWords = 0;
};

SuggestIndex::SuggestIndex(const std::vector<SuggestEntry>& entries) : wordsOfLength_(kLongestWord + 1) {
    QHash<QPair<int, QString>, int> entryOf;
    for (const SuggestEntry& given : entries) {
        const QPair<int, QString> key(int(given.kind), given.text);
        if (const auto found = entryOf.constFind(key); found != entryOf.constEnd()) {
            ++entries_[size_t(*found)].copies;
            continue;
        }
        Entry entry{given.kind, given.id, given.text, 1, {}};
        for (const QString& word : ComparedWords(given.text)) {
            auto number = wordNumbers_.constFind(word);
            if (number == wordNumbers_.constEnd()) {
                number = wordNumbers_.insert(word, int(vocabulary_.size()));
                vocabulary_.push_back(word);
                wordsOfLength_[size_t(std::min(word.size(), kLongestWord))].push_back(*number);
            }
            entry.words.push_back(*number);
        }
        if (entry.words.empty())
            continue;
        entryOf.insert(key, int(entries_.size()));
        entries_.push_back(std::move(entry));
    }
    postings_.resize(vocabulary_.size());
    for (int e = 0; e < int(entries_.size()); ++e)
        for (const int word : entries_[size_t(e)].words)
            if (postings_[size_t(word)].empty() || postings_[size_t(word)].back() != e)
                postings_[size_t(word)].push_back(e);
}

std::vector<SuggestIndex::Reading> SuggestIndex::readingsOf(const QString& query) const {
    std::vector<Reading> readings;
    const auto add = [&readings](const QString& text, double cost) {
        const QStringList words = ComparedWords(text);
        if (words.isEmpty() || words.size() > kLongestQuery)
            return;
        for (const Reading& reading : readings)
            if (reading.words == words)
                return;
        readings.push_back({words, cost});
    };
    add(query, 0);
    add(SwapKeyboardLayout(query), kOtherForm);
    if (MostlyLatin(query)) {
        add(LatinToCyrillic(query), kOtherForm);
        add(LatinToCyrillic(query, false), kOtherForm);
    }
    if (HasCyrillic(query))
        add(CyrillicToLatin(query), kOtherForm);
    return readings;
}

std::vector<std::pair<int, int>> SuggestIndex::closeWords(const QString& word) const {
    // The slips forgiven depend on the word the user meant: "оо" may be a
    // slip of "ооо", while no three-letter word is forgiven two slips.
    std::vector<std::pair<int, int>> close;
    const qsizetype shortest = std::max<qsizetype>(1, word.size() - kMostSlips);
    const qsizetype longest = std::min(word.size() + kMostSlips, kLongestWord);
    for (qsizetype length = shortest; length <= longest; ++length) {
        const int limit = slipsForgiven(length);
        if (std::abs(length - word.size()) > limit)
            continue;
        for (const int number : wordsOfLength_[size_t(length)]) {
            const int slips = SlipDistance(word, vocabulary_[size_t(number)], limit);
            if (slips <= limit)
                close.emplace_back(number, slips);
        }
    }
    return close;
}

void SuggestIndex::matchReading(const Reading& reading, std::vector<Match>& found,
                                std::vector<int>& foundAt) const {
    // Every word of the query must name a word of the entry; the candidates
    // are the entries holding a close word of the rarest query word.
    std::vector<std::unordered_map<int, int>> close;
    std::size_t pivot = 0;
    std::size_t pivotPostings = SIZE_MAX;
    for (const QString& word : reading.words) {
        const std::vector<std::pair<int, int>> words = closeWords(word);
        if (words.empty())
            return;
        std::size_t postings = 0;
        for (const auto& [number, slips] : words)
            postings += postings_[size_t(number)].size();
        if (postings < pivotPostings) {
            pivot = close.size();
            pivotPostings = postings;
        }
        close.emplace_back(words.begin(), words.end());
    }
    std::vector<int> candidates;
    for (const auto& [number, slips] : close[pivot])
        candidates.insert(candidates.end(), postings_[size_t(number)].begin(),
                          postings_[size_t(number)].end());
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

    for (const int e : candidates) {
        const Entry& entry = entries_[size_t(e)];
        std::vector<int> used;
        Match match{e, reading.cost, INT_MAX, -1, int(entry.words.size()) - int(reading.words.size())};
        bool inOrder = true;
        for (const auto& wordsClose : close) {
            int at = -1;
            int fewest = INT_MAX;
            for (int p = 0; p < int(entry.words.size()); ++p) {
                const auto slips = wordsClose.find(entry.words[size_t(p)]);
                if (slips != wordsClose.end() && slips->second < fewest &&
                    std::find(used.begin(), used.end(), p) == used.end()) {
                    fewest = slips->second;
                    at = p;
                }
            }
            if (at < 0)
                break;
            inOrder = inOrder && (used.empty() || at > used.back());
            used.push_back(at);
            match.cost += fewest;
            match.first = std::min(match.first, at);
            match.last = std::max(match.last, at);
        }
        if (used.size() != close.size())
            continue;
        if (!inOrder)
            match.cost += kOtherOrder;
        int& slot = foundAt[size_t(e)];
        if (slot < 0) {
            slot = int(found.size());
            found.push_back(match);
        } else if (match.cost < found[size_t(slot)].cost) {
            found[size_t(slot)] = match;
        }
    }
}

std::vector<SuggestIndex::Match> SuggestIndex::matches(const QString& query) const {
    std::vector<Match> found;
    std::vector<int> foundAt(entries_.size(), -1);
    for (const Reading& reading : readingsOf(query))
        matchReading(reading, found, foundAt);
    return found;
}

QString SuggestIndex::correctionOf(const Entry& entry, const Match& match) const {
    if (entry.kind == EntryKind::Category)
        return entry.text.toLower();
    const QList<WordSpan> spans = WordSpans(entry.text);
    const WordSpan& first = spans[match.first];
    const WordSpan& last = spans[match.last];
    return entry.text.mid(first.start, last.start + last.length - first.start).toLower();
}

int SuggestIndex::firmsContaining(const QString& correction) const {
    // The firms the name search finds for it: a case-blind substring of the name.
    const std::vector<int>* rarest = nullptr;
    for (const QString& word : ComparedWords(correction)) {
        const auto number = wordNumbers_.constFind(word);
        if (number == wordNumbers_.constEnd())
            return 0;
        const std::vector<int>& postings = postings_[size_t(*number)];
        if (!rarest || postings.size() < rarest->size())
            rarest = &postings;
    }
    int firms = 0;
    if (rarest)
        for (const int e : *rarest) {
            const Entry& entry = entries_[size_t(e)];
            if (entry.kind == EntryKind::Firm && entry.text.toLower().contains(correction))
                firms += entry.copies;
        }
    return firms;
}

std::vector<Offer> SuggestIndex::ranked(const QString& query) const {
    std::vector<Match> found = matches(query);
    const auto closer = [](const Match& a, const Match& b) {
        return a.cost != b.cost ? a.cost < b.cost : a.extraWords < b.extraWords;
    };
    const std::size_t kept = std::min(found.size(), kCounted);
    std::partial_sort(found.begin(), found.begin() + std::ptrdiff_t(kept), found.end(), closer);
    found.resize(kept);

    QHash<QString, int> firmsOf;
    std::vector<Offer> offers;
    offers.reserve(found.size());
    for (const Match& match : found) {
        const Entry& entry = entries_[size_t(match.entry)];
        Offer offer{entry.kind, entry.id,         entry.text, correctionOf(entry, match),
                    match.cost, match.extraWords, 0};
        if (entry.kind == EntryKind::Firm) {
            auto counted = firmsOf.constFind(offer.correction);
            if (counted == firmsOf.constEnd())
                counted = firmsOf.insert(offer.correction, firmsContaining(offer.correction));
            offer.firms = *counted;
        }
        offers.push_back(std::move(offer));
    }
    std::sort(offers.begin(), offers.end(), closerOffer);
    return offers;
}

std::vector<Offer> SuggestIndex::Offers(const QString& query, int limit) const {
    std::vector<Offer> offers = ranked(query);
    if (offers.size() > std::size_t(std::max(limit, 0)))
        offers.resize(std::size_t(std::max(limit, 0)));
    return offers;
}

std::optional<Offer> SuggestIndex::Correction(const QString& query) const {
    const std::vector<Offer> offers = ranked(query);
    const auto best = std::find_if(offers.begin(), offers.end(),
                                   [](const Offer& offer) { return offer.kind == EntryKind::Firm; });
    if (best == offers.end() || best->correction == query.trimmed().toLower())
        return std::nullopt;
    // A category closer than every firm name, or another firm name search
    // as close, leaves the choice to the user.
    for (const Offer& other : offers)
        if (other.kind == EntryKind::Category
                ? other.cost < best->cost
                : other.correction != best->correction && other.cost <= best->cost)
            return std::nullopt;
    return *best;
}
