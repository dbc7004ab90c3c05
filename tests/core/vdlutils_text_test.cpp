#include "Vdlutils.h"

#include <gtest/gtest.h>

TEST(VdlutilsTrim, RemovesOnlyBlanksAtTheEnds) {
    EXPECT_EQ(Trim("\t a \t"), "\t a \t");
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim(" \r\n"), "\r\n");
}

TEST(VdlutilsStrB, EmptiesTheTextWhenTheFlagIsSet) {
    EXPECT_EQ(StrB("x", true), "");
    EXPECT_EQ(StrB("x", false), "x");
}

TEST(VdlutilsMustBeLength, PadsInFrontOrKeepsTheLastCharacters) {
    EXPECT_EQ(MustBeLength("7", '0', 4), "0007");
    EXPECT_EQ(MustBeLength("abcdef", '0', 4), "cdef");
    EXPECT_EQ(MustBeLength("abcd", '0', 4), "abcd");
    EXPECT_EQ(MustBeLength("", '0', 3), "000");
    EXPECT_EQ(MustBeLength("abc", '0', 0), "");
    EXPECT_EQ(MustBeLength("abc", '0', -2), "");
}

TEST(VdlutilsMustBeLength, CountsCyrillicLettersAsOneCharacterEach) {
    EXPECT_EQ(MustBeLength("Юг", '_', 4), "__Юг");
    EXPECT_EQ(MustBeLength("Москва", ' ', 3), "ква");
}

TEST(VdlutilsGetFieldNorm, DropsCommasAndTurnsCarriageReturnsIntoBlanks) {
    const std::string line = "alpha, beta\tgamma\r";
    EXPECT_EQ(GetFieldNorm(line, 1), "alpha beta");
    EXPECT_EQ(GetFieldNorm(line, 2), "gamma");
    EXPECT_EQ(GetFieldNorm(line, 3), "");
}

TEST(VdlutilsGetFieldNorm, KeepsLineFeedsQuotesAndEmptyFields) {
    EXPECT_EQ(GetFieldNorm("a\n\tb", 1), "a\n");
    EXPECT_EQ(GetFieldNorm("\"q\"\tb", 1), "\"q\"");
    EXPECT_EQ(GetFieldNorm("a\t\tc", 2), "");
    EXPECT_EQ(GetFieldNorm("a\t\tc", 3), "c");
    EXPECT_EQ(GetFieldNorm("a\t", 2), "");
    EXPECT_EQ(GetFieldNorm("a", 0), "");
}

TEST(VdlutilsGetField, DropsTheLastCollectedCharacter) {
    EXPECT_EQ(GetField("a\tb\tc", 1), "a");
    EXPECT_EQ(GetField("a\tb\tc", 2), "b");
    EXPECT_EQ(GetField("a\tb\tc", 3), "");
    EXPECT_EQ(GetField("a\tb\tc\r\n", 3), "c");
    EXPECT_EQ(GetField("a\tb\tc", 4), "");
}

TEST(VdlutilsGetField, BlanksQuotesAndLineEndsAndDropsCommas) {
    EXPECT_EQ(GetField("\"Рога, копыта\"\tx", 1), "Рога копыта");
    EXPECT_EQ(GetField("one\r\ntwo\t", 1), "one  two");
}

TEST(VdlutilsGetField, DropsAWholeCyrillicLetterAtTheEndOfTheLine) {
    EXPECT_EQ(GetField("a\tИван", 2), "Ива");
}

TEST(VdlutilsNoExt, CutsAfterTheLastDot) {
    EXPECT_EQ(NoExt("archive.tar.gz"), "archive.tar.");
    EXPECT_EQ(NoExtNoDot("archive.tar.gz"), "archive.tar");
    EXPECT_EQ(NoExt("name."), "name.");
    EXPECT_EQ(NoExtNoDot("name."), "name");
    EXPECT_EQ(NoExt("README"), "");
    EXPECT_EQ(NoExtNoDot("README"), "");
    EXPECT_EQ(NoExt(""), "");
    EXPECT_EQ(NoExtNoDot(""), "");
}

TEST(VdlutilsSlashMust, AddsOneSlashUnlessThereIsOne) {
    EXPECT_EQ(SlashMust("/usr/share"), "/usr/share/");
    EXPECT_EQ(SlashMust("/usr/share/"), "/usr/share/");
    EXPECT_EQ(SlashMust("/"), "/");
    EXPECT_EQ(SlashMust(""), "");
}

TEST(VdlutilsIsBpl, JudgesTheExtensionOfTheFileNameOnly) {
    EXPECT_TRUE(IsBpl("/opt/x/PluginManager.bpl"));
    EXPECT_TRUE(IsBpl("LIB.DLL"));
    EXPECT_FALSE(IsBpl("plugins.bpl/readme"));
    EXPECT_FALSE(IsBpl("a.bplx"));
    EXPECT_FALSE(IsBpl("bpl"));
    EXPECT_TRUE(IsExe("setup.Exe"));
    EXPECT_FALSE(IsExe("setup.exe.txt"));
    EXPECT_FALSE(IsExe("my.exe/setup"));
}
