// The index of firm names and categories: each kind of fault read back,
// the ranking, the one clear correction and the queries it must leave alone.
#include "SuggestIndex.h"

#include <gtest/gtest.h>

namespace {

std::vector<SuggestEntry> smallDirectory() {
    return {
        {EntryKind::Firm, 1, "Аптека «Здоровье»"},
        {EntryKind::Firm, 2, "Аптека «Здоровье»"}, // a second branch of the same name
        {EntryKind::Firm, 3, "Аптека «Вектор»"},
        {EntryKind::Firm, 4, "ООО «Вектор-Плюс»"},
        {EntryKind::Firm, 5, "Автофаворит"},
        {EntryKind::Firm, 6, "Кафе «Ёлка»"},
        {EntryKind::Firm, 7, "Салон «Мира»"},
        {EntryKind::Firm, 8, "Салон «Мера»"},
        {EntryKind::Firm, 9, "ИП Щукина Т.В."},
        {EntryKind::Category, 100, "Аптеки"},
        {EntryKind::Category, 101, "Автосалоны"},
    };
}

QStringList textsOf(const std::vector<Offer>& offers) {
    QStringList texts;
    for (const Offer& offer : offers)
        texts << offer.text;
    return texts;
}

class Suggestions : public ::testing::Test {
protected:
    SuggestIndex index{smallDirectory()};
};

} // namespace

TEST_F(Suggestions, SameNamesAreOneEntryCountingTheirFirms) {
    EXPECT_EQ(index.EntryCount(), 10);
    const std::optional<Offer> correction = index.Correction("pljhjdmt");
    ASSERT_TRUE(correction);
    EXPECT_EQ(correction->correction, "здоровье");
    EXPECT_EQ(correction->firms, 2);
    EXPECT_EQ(correction->id, 1);
}

TEST_F(Suggestions, OtherKeyboardLayoutIsReadBack) {
    const std::optional<Offer> pharmacy = index.Correction("fgntrf");
    ASSERT_TRUE(pharmacy);
    EXPECT_EQ(pharmacy->correction, "аптека");
    EXPECT_EQ(pharmacy->firms, 3);
    EXPECT_DOUBLE_EQ(pharmacy->cost, 0.25);
    // A Latin name typed with the Russian layout on.
    const std::optional<Offer> latin =
        SuggestIndex({{EntryKind::Firm, 1, "Avtolider Service"}}).Correction("Фмещдшвук");
    ASSERT_TRUE(latin);
    EXPECT_EQ(latin->correction, "avtolider");
}

TEST_F(Suggestions, OneOrTwoSlipsAreForgivenByWordLength) {
    for (const char* typed : {"аптэка", "аптка", "апткеа", "апптека"}) {
        const std::optional<Offer> correction = index.Correction(typed);
        ASSERT_TRUE(correction) << typed;
        EXPECT_EQ(correction->correction, "аптека") << typed;
        EXPECT_DOUBLE_EQ(correction->cost, 1) << typed;
    }
    const std::optional<Offer> twoSlips = index.Correction("авафаворит");
    ASSERT_TRUE(twoSlips);
    EXPECT_EQ(twoSlips->correction, "автофаворит");
    EXPECT_DOUBLE_EQ(twoSlips->cost, 2);
    // The slips forgiven follow the length of the word meant: two for
    // "вектор", even when what was typed is shorter, one for "ёлка".
    ASSERT_TRUE(index.Correction("вкетр"));
    EXPECT_EQ(index.Correction("вкетр")->correction, "вектор");
    EXPECT_FALSE(index.Correction("кафе лкеа"));
}

TEST_F(Suggestions, LatinSpellingIsReadBack) {
    for (const char* typed : {"apteka", "Avtofavorit", "Shchukina", "Schukina", "Elka"}) {
        const std::vector<Offer> offers = index.Offers(typed, 3);
        ASSERT_FALSE(offers.empty()) << typed;
        EXPECT_LE(offers.front().cost, 1.25) << typed;
    }
    EXPECT_EQ(index.Correction("Avtofavorit")->correction, "автофаворит");
    EXPECT_EQ(index.Correction("Shchukina")->correction, "щукина");
    // The other way: a Latin name typed in Cyrillic letters.
    const SuggestIndex latin({{EntryKind::Firm, 1, "Avtofavorit Motors"}});
    ASSERT_TRUE(latin.Correction("автофаворит"));
    EXPECT_EQ(latin.Correction("автофаворит")->correction, "avtofavorit");
}

TEST_F(Suggestions, YoAndWordOrderAndQuotesAreForgiven) {
    // The name search compares ё and е as different letters; the correction
    // is the name as the edition writes it.
    const std::optional<Offer> yo = index.Correction("кафе елка");
    ASSERT_TRUE(yo);
    EXPECT_EQ(yo->correction, "кафе «ёлка");
    const std::optional<Offer> order = index.Correction("здоровье аптека");
    ASSERT_TRUE(order);
    EXPECT_EQ(order->correction, "аптека «здоровье");
    EXPECT_DOUBLE_EQ(order->cost, 0.5);
}

TEST_F(Suggestions, OffersRankByClosenessThenFewestOtherWordsThenFirms) {
    const std::vector<Offer> offers = index.Offers("вектор", 10);
    EXPECT_EQ(textsOf(offers), (QStringList{"Аптека «Вектор»", "ООО «Вектор-Плюс»"}));
    // Мира and Мера are one slip from "мора" alike: no single correction,
    // both offered.
    EXPECT_FALSE(index.Correction("салон мора"));
    EXPECT_EQ(textsOf(index.Offers("салон мора", 10)), (QStringList{"Салон «Мера»", "Салон «Мира»"}));
    // Categories are offered too, closest first.
    const std::vector<Offer> categories = index.Offers("автосалон", 10);
    ASSERT_FALSE(categories.empty());
    EXPECT_EQ(categories.front().kind, EntryKind::Category);
    EXPECT_EQ(categories.front().id, 101);
    EXPECT_EQ(index.Offers("аптека", 2).size(), 2u);
}

TEST_F(Suggestions, ACategoryCloserThanEveryFirmNameLeavesTheChoiceOpen) {
    // "аптеки" in the other layout names the category; the firms' "аптека"
    // is a slip further.
    EXPECT_FALSE(index.Correction("Fgntrb"));
    const std::vector<Offer> offers = index.Offers("Fgntrb", 10);
    ASSERT_GE(offers.size(), 2u);
    EXPECT_EQ(offers[0].id, 100);
    EXPECT_EQ(offers[1].correction, "аптека");
}

TEST_F(Suggestions, NothingIsOfferedForAnUnrelatedOrAlreadyCorrectQuery) {
    EXPECT_FALSE(index.Correction("щшгнзхъ"));
    EXPECT_TRUE(index.Offers("щшгнзхъ", 10).empty());
    EXPECT_TRUE(index.Offers("  ", 10).empty());
    // What the name search already finds needs no correction.
    EXPECT_FALSE(index.Correction("Аптека"));
    EXPECT_FALSE(index.Correction("автофаворит"));
    EXPECT_FALSE(SuggestIndex().Correction("аптека"));
}
