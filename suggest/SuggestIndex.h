// What a search that found nothing was most likely meant to find: the firm
// names and categories of the edition, looked up word by word with the
// typed text read as typed, in the other keyboard layout and in the other
// alphabet, forgiving up to two slips a word, ё for е and the order of the
// words.
//
// Built once from the edition's names (a few milliseconds for tens of
// thousands of firms); the vocabulary of distinct words is small, so a
// query compares its words with every word of like length and then looks
// only at the names that hold a close word for each of them.
#pragma once

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

enum class EntryKind { Firm, Category };

struct SuggestEntry {
    EntryKind kind = EntryKind::Firm;
    int id = 0;
    QString text;
};

struct Offer {
    EntryKind kind = EntryKind::Firm;
    int id = 0;         // the first entry of this kind with this text
    QString text;       // as the edition writes it
    QString correction; // lower case: the part of the text the query stood for
    double cost = 0;    // slips, a quarter for another layout or alphabet, a half for another word order
    int extraWords = 0; // words of the text the query did not name
    int firms = 0;      // firms whose names contain the correction (none for a category)
};

class SuggestIndex {
public:
    SuggestIndex() : SuggestIndex(std::vector<SuggestEntry>{}) {}
    explicit SuggestIndex(const std::vector<SuggestEntry>& entries);

    // The likeliest names first: closest, then naming the fewest other
    // words, then matching the most firms. At most `limit`.
    std::vector<Offer> Offers(const QString& query, int limit) const;
    // The one firm name search the query most likely meant, when one is
    // clearly closer than every other and than every category; none when
    // the query is too far from everything or the choice is not clear.
    std::optional<Offer> Correction(const QString& query) const;

    int EntryCount() const { return int(entries_.size()); }

private:
    struct Entry {
        EntryKind kind = EntryKind::Firm;
        int id = 0;
        QString text;
        int copies = 0;         // firms of exactly this name
        std::vector<int> words; // vocabulary numbers, in the order of the text
    };
    struct Reading;
    struct Match;

    std::vector<Reading> readingsOf(const QString& query) const;
    std::vector<std::pair<int, int>> closeWords(const QString& word) const;
    std::vector<Match> matches(const QString& query) const;
    void matchReading(const Reading& reading, std::vector<Match>& found, std::vector<int>& foundAt) const;
    QString correctionOf(const Entry& entry, const Match& match) const;
    int firmsContaining(const QString& correction) const;
    std::vector<Offer> ranked(const QString& query) const;

    std::vector<QString> vocabulary_;
    QHash<QString, int> wordNumbers_;
    std::vector<std::vector<int>> wordsOfLength_;
    std::vector<std::vector<int>> postings_; // entry numbers per word, ascending
    std::vector<Entry> entries_;
};
