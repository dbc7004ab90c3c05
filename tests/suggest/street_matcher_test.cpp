// The street filter of the street combos: word beginnings first, then text
// inside a word, then slips, in every form the text may have been typed.
#include "StreetMatcher.h"

#include <gtest/gtest.h>

namespace {

const QStringList kStreets = {
    "1-я Садовая улица", "Ленинградский проспект", "Садовый переулок", "улица Ленина",
    "улица Мира",        "улица Щукина",           "Южная улица"};

} // namespace

TEST(StreetMatcher, WordBeginningsComeFirstInListOrder) {
    const StreetMatcher streets(kStreets);
    EXPECT_EQ(streets.Matching("лен", 10), (QStringList{"Ленинградский проспект", "улица Ленина"}));
    EXPECT_EQ(streets.Matching("Садов", 10), (QStringList{"1-я Садовая улица", "Садовый переулок"}));
    // Longer texts forgive slips, but an exact beginning still comes first.
    EXPECT_EQ(streets.Matching("улица л", 10).value(0), "улица Ленина");
    // Inside a word after every word beginning.
    EXPECT_EQ(streets.Matching("ир", 10), (QStringList{"улица Мира"}));
}

TEST(StreetMatcher, LayoutTransliterationAndSlipsAreForgiven) {
    const StreetMatcher streets(kStreets);
    EXPECT_EQ(streets.Matching("Ktybyf", 10).value(0), "улица Ленина");
    EXPECT_EQ(streets.Matching("Lenina", 10).value(0), "улица Ленина");
    EXPECT_EQ(streets.Matching("Ленена", 10).value(0), "улица Ленина");
    EXPECT_EQ(streets.Matching("Schukina", 10).value(0), "улица Щукина");
    EXPECT_EQ(streets.Matching("Juzhnaja", 10).value(0), "Южная улица");
    EXPECT_EQ(streets.Matching("Vbhf", 10).value(0), "улица Мира");
    EXPECT_TRUE(streets.Matching("Ktybyuhflcrbq ghjcgtrn", 10).contains("Ленинградский проспект"));
}

TEST(StreetMatcher, EmptyTextListsAllAndNonsenseNothing) {
    const StreetMatcher streets(kStreets);
    EXPECT_EQ(streets.Matching("", 100), kStreets);
    EXPECT_EQ(streets.Matching("  ", 3), kStreets.mid(0, 3));
    EXPECT_TRUE(streets.Matching("щшгнзх", 10).isEmpty());
    // Two letters forgive nothing.
    EXPECT_TRUE(streets.Matching("лж", 10).isEmpty());
    EXPECT_EQ(streets.Matching("ул", 2).size(), 2);
}
