// The forms a typed text is read back from: the other keyboard layout, the
// Latin alphabet in the common schemes, ё and letter case; and the slip
// distance that measures what is left.
#include "EditDistance.h"
#include "TextForms.h"

#include <gtest/gtest.h>

TEST(TextForms, ComparedWordsAreLowerCaseWithoutYoAndPunctuation) {
    EXPECT_EQ(ComparedWords("Аптека «Ёлка-2»"), (QStringList{"аптека", "елка", "2"}));
    EXPECT_EQ(ComparedWords("  ИП Иванов А.Б. "), (QStringList{"ип", "иванов", "а", "б"}));
    EXPECT_TRUE(ComparedWords("«» - ,").isEmpty());
    const QList<WordSpan> spans = WordSpans("ООО «Вектор»");
    ASSERT_EQ(spans.size(), 2);
    EXPECT_EQ(spans[1].start, 5);
    EXPECT_EQ(spans[1].length, 6);
}

TEST(TextForms, KeyboardLayoutSwapsBothWays) {
    EXPECT_EQ(SwapKeyboardLayout("fgntrf"), "аптека");
    EXPECT_EQ(SwapKeyboardLayout("Ktybyf"), "Ленина");
    EXPECT_EQ(SwapKeyboardLayout("K.,jdm"), "Любовь");
    EXPECT_EQ(SwapKeyboardLayout("`krf"), "ёлка");
    EXPECT_EQ(SwapKeyboardLayout("руддщ"), "hello");
    EXPECT_EQ(SwapKeyboardLayout("ФМЕЩ"), "AVTO");
    // Digits and blanks are the same keys in both layouts.
    EXPECT_EQ(SwapKeyboardLayout("Cfljdfz 12"), "Садовая 12");
}

TEST(TextForms, LatinReadsBackFromEveryCommonScheme) {
    for (const char* written : {"Shchukina", "Schukina", "Shhukina"})
        EXPECT_EQ(LatinToCyrillic(written), "щукина") << written;
    for (const char* written : {"Yuzhnaya", "Juzhnaja", "Iuzhnaia"})
        EXPECT_EQ(LatinToCyrillic(written), "южная") << written;
    EXPECT_EQ(LatinToCyrillic("apteka"), "аптека");
    EXPECT_EQ(LatinToCyrillic("Avtofavorit"), "автофаворит");
    EXPECT_EQ(LatinToCyrillic("Krasnyy Mayakovskiy"), "красный маяковский");
    EXPECT_EQ(LatinToCyrillic("Khimchistka Tsentr"), "химчистка центр");
    EXPECT_EQ(LatinToCyrillic("Sibir'"), "сибирь");
    EXPECT_EQ(LatinToCyrillic("Rossiya 5"), "россия 5");
    EXPECT_EQ(LatinToCyrillic("Entuziastov"), "ентузястов");
    EXPECT_EQ(LatinToCyrillic("Entuziastov", false), "ентузиастов");
    EXPECT_EQ(LatinToCyrillic("Iuzhnaia", false), "иужнаиа");
}

TEST(TextForms, CyrillicIsWrittenOutInLatin) {
    EXPECT_EQ(CyrillicToLatin("Автофаворит"), "avtofavorit");
    EXPECT_EQ(CyrillicToLatin("Щукина, Южная"), "shchukina, yuzhnaya");
    EXPECT_EQ(CyrillicToLatin("Подъезд"), "podezd");
    EXPECT_TRUE(MostlyLatin("Ktybyf 5"));
    EXPECT_FALSE(MostlyLatin("Ленина st"));
    EXPECT_TRUE(HasCyrillic("Moskva Сити"));
    EXPECT_FALSE(HasCyrillic("Moskva 5"));
}

TEST(SlipDistance, CountsInsertionsDeletionsChangesAndNeighbourSwaps) {
    EXPECT_EQ(SlipDistance(u"аптека", u"аптека", 2), 0);
    EXPECT_EQ(SlipDistance(u"аптэка", u"аптека", 2), 1);  // changed
    EXPECT_EQ(SlipDistance(u"апткеа", u"аптека", 2), 1);  // neighbours swapped
    EXPECT_EQ(SlipDistance(u"аптеа", u"аптека", 2), 1);   // deleted
    EXPECT_EQ(SlipDistance(u"апптека", u"аптека", 2), 1); // inserted
    EXPECT_EQ(SlipDistance(u"ленена", u"ленина", 2), 1);
    EXPECT_EQ(SlipDistance(u"лнена", u"ленина", 2), 2);
    // Past the limit the answer is limit + 1, however far the words are.
    EXPECT_EQ(SlipDistance(u"аптека", u"вокзал", 2), 3);
    EXPECT_EQ(SlipDistance(u"а", u"аптека", 1), 2);
    EXPECT_EQ(SlipDistance(u"аптека", u"аптека", 0), 0);
}

TEST(SlipDistance, PrefixDistanceMeasuresAgainstTheBestBeginning) {
    EXPECT_EQ(PrefixSlipDistance(u"лен", u"ленина", 1), 0);
    EXPECT_EQ(PrefixSlipDistance(u"лнин", u"ленина", 1), 1);
    EXPECT_EQ(PrefixSlipDistance(u"ленина", u"ленина", 1), 0);
    EXPECT_EQ(PrefixSlipDistance(u"ленинаа", u"ленина", 1), 1);
    EXPECT_EQ(PrefixSlipDistance(u"мира", u"ленина", 1), 2);
    EXPECT_EQ(PrefixSlipDistance(u"", u"ленина", 1), 0);
}
