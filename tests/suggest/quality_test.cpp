// How often the intended name comes back: a demo edition is generated, and
// its own firm names, categories and streets are typed again with seeded
// faults (the other keyboard layout, one slip, Latin letters in one of the
// common schemes). The intended name must be among the first three offers
// for at least 95 %, 90 % and 90 % of them; the figures are printed.
#include "Datamodule.h"
#include "EditionEntries.h"
#include "EditionGenerator.h"
#include "MapEngine.h"
#include "StreetMatcher.h"
#include "SuggestIndex.h"
#include "TestEnvironment.h"
#include "TextForms.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include <QHash>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int kQueriesPerKind = 1000;
constexpr double kEditionScale = 1;

// The keys as a typist sees them, written out here again rather than taken
// from the code under test.
const QString kRussianKeys = QStringLiteral("ёйцукенгшщзхъфывапролджэячсмитьбю");
const QString kEnglishKeys = QStringLiteral("`qwertyuiop[]asdfghjkl;'zxcvbnm,.");

QString typedInEnglishLayout(const QString& text) {
    QString typed;
    for (const QChar c : text) {
        const qsizetype at = kRussianKeys.indexOf(c.toLower());
        if (at < 0) {
            typed += c;
            continue;
        }
        const QChar key = kEnglishKeys.at(at);
        typed += c.isUpper() && key.isLetter() ? key.toUpper() : key;
    }
    return typed;
}

// The Latin spellings of а..я in four schemes: BGN, the passport's, GOST
// 7.79 B and the informal one of chats and web addresses.
const char* const kSchemes[4][33] = {
    {"a", "b", "v", "g", "d", "e",  "yo", "zh", "z",  "i",    "y", "k", "l", "m", "n",  "o", "p",
     "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "",  "y", "",  "e", "yu", "ya"},
    {"a", "b", "v", "g", "d", "e",  "e",  "zh", "z",  "i",    "i",  "k", "l", "m", "n",  "o", "p",
     "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "ie", "y", "",  "e", "iu", "ia"},
    {"a", "b", "v", "g", "d", "e", "yo", "zh", "z",  "i",   "j",  "k",  "l", "m",  "n",  "o", "p",
     "r", "s", "t", "u", "f", "x", "cz", "ch", "sh", "shh", "``", "y'", "`", "e'", "yu", "ya"},
    {"a", "b", "v", "g", "d", "e", "e", "zh", "z",  "i",   "j", "k", "l", "m", "n",  "o", "p",
     "r", "s", "t", "u", "f", "h", "c", "ch", "sh", "sch", "",  "y", "'", "e", "ju", "ja"},
};
const QString kAlphabet = QStringLiteral("абвгдеёжзийклмнопрстуфхцчшщъыьэюя");

QString writtenInLatin(const QString& text, int scheme) {
    QString written;
    for (const QChar c : text.toLower()) {
        const qsizetype at = kAlphabet.indexOf(c);
        written += at < 0 ? QString(c) : QString::fromLatin1(kSchemes[scheme][at]);
    }
    return written;
}

// One slip in a word of three letters or more: a letter inserted, deleted,
// changed, or two different neighbours swapped.
QString withOneSlip(const QString& text, std::mt19937& random) {
    std::vector<WordSpan> words;
    for (const WordSpan& span : WordSpans(text))
        if (span.length >= 3)
            words.push_back(span);
    if (words.empty())
        return text;
    const WordSpan word = words[std::uniform_int_distribution<std::size_t>(0, words.size() - 1)(random)];
    const auto pick = [&random](qsizetype from, qsizetype to) {
        return std::uniform_int_distribution<qsizetype>(from, to)(random);
    };
    const QChar letter = kAlphabet.at(pick(0, kAlphabet.size() - 1));
    QString slipped = text;
    for (;;) {
        const qsizetype at = word.start + pick(0, word.length - 1);
        switch (std::uniform_int_distribution<int>(0, 3)(random)) {
        case 0:
            return slipped.insert(at, letter);
        case 1:
            return slipped.remove(at, 1);
        case 2:
            if (slipped.at(at).toLower() == letter)
                continue;
            slipped[at] = letter;
            return slipped;
        default:
            if (at + 1 >= word.start + word.length || slipped.at(at) == slipped.at(at + 1))
                continue;
            std::swap(slipped[at], slipped[at + 1]);
            return slipped;
        }
    }
}

// What a user types for a name: its words, without the quotes and dots.
QString typedName(const QString& name) {
    QStringList words;
    for (const WordSpan& span : WordSpans(name))
        words << name.mid(span.start, span.length);
    return words.join(' ');
}

struct Score {
    int found = 0;
    int asked = 0;
    double share() const { return asked ? double(found) / asked : 0; }
};

class ForgivingQuality : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new TemporaryFolder;
        const QString path = QString::fromStdString(folder_->file(MapFiles[2]));
        const Status written = WriteSealedEdition({2, 11, kEditionScale}, path);
        ASSERT_TRUE(written) << written.error().toStdString();
        CurrentFolder here(folder_->path());
        TDM dm;
        const Status opened = dm.OpenEdition(2);
        ASSERT_TRUE(opened) << opened.error().toStdString();
        entries_ = new std::vector<SuggestEntry>(EditionEntries(dm.Con));
        dm.qContent.Open();
        ASSERT_TRUE(dm.qContent.Locate("TypeID", 2));
        MapEngine map;
        ASSERT_TRUE(map.LoadFromData(dm.qContent.FieldByName("Data").AsBlob()));
        streets_ = new QStringList;
        map.GetStreetList(*streets_);
        dm.DataModuleDestroy();
    }
    static void TearDownTestSuite() {
        delete entries_;
        delete streets_;
        delete folder_;
    }

    // Faulty queries for names, categories and streets alike; a query counts
    // as found when the name it was made from is among the first three.
    Score measure(const std::function<QString(const QString&, std::mt19937&)>& fault) const {
        const SuggestIndex index(*entries_);
        const StreetMatcher streets(*streets_);
        std::mt19937 random(20261208);
        Score score;
        for (int q = 0; q < kQueriesPerKind; ++q) {
            const bool street = q % 4 == 3;
            const QString meant = street ? streets_->at(static_cast<qsizetype>(random() % streets_->size()))
                                         : entries_->at(random() % entries_->size()).text;
            const QString query = fault(typedName(meant), random);
            ++score.asked;
            if (street) {
                score.found += streets.Matching(query, 3).contains(meant);
                continue;
            }
            for (const Offer& offer : index.Offers(query, 3))
                if (offer.text == meant) {
                    ++score.found;
                    break;
                }
        }
        return score;
    }

    static void report(const char* kind, const Score& score) {
        std::printf("[ quality  ] %s: %d of %d (%.1f %%) in the first three offers\n", kind, score.found,
                    score.asked, 100 * score.share());
    }

    static TemporaryFolder* folder_;
    static std::vector<SuggestEntry>* entries_;
    static QStringList* streets_;
};

TemporaryFolder* ForgivingQuality::folder_ = nullptr;
std::vector<SuggestEntry>* ForgivingQuality::entries_ = nullptr;
QStringList* ForgivingQuality::streets_ = nullptr;

} // namespace

TEST_F(ForgivingQuality, TheEditionHasNamesCategoriesAndStreetsToTypeWrongly) {
    int categories = 0;
    for (const SuggestEntry& entry : *entries_)
        categories += entry.kind == EntryKind::Category;
    EXPECT_GT(int(entries_->size()) - categories, 1000);
    EXPECT_GT(categories, 20);
    EXPECT_GT(streets_->size(), 50);
}

TEST_F(ForgivingQuality, LayoutSwappedQueriesFindTheirNameNinetyFivePercent) {
    const Score score =
        measure([](const QString& name, std::mt19937&) { return typedInEnglishLayout(name); });
    report("layout swapped", score);
    EXPECT_GE(score.share(), 0.95);
}

TEST_F(ForgivingQuality, OneSlipQueriesFindTheirNameNinetyPercent) {
    const Score score = measure(withOneSlip);
    report("one slip", score);
    EXPECT_GE(score.share(), 0.90);
}

TEST_F(ForgivingQuality, TransliteratedQueriesFindTheirNameNinetyPercent) {
    const Score score = measure(
        [](const QString& name, std::mt19937& random) { return writtenInLatin(name, int(random() % 4)); });
    report("transliterated", score);
    EXPECT_GE(score.share(), 0.90);
}
