// Keys: existence, enumeration, deletion, case-insensitive names, the two
// roots and connection handles.
#include "Minireg.h"
#include "TestEnvironment.h"

#include <QSysInfo>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const std::string kCompany = "Software\\Varindel TLX Company";

class MiniregKeys : public ::testing::Test {
protected:
    IsolatedRegistry registry;

    static void Put(const std::string& path) { ASSERT_TRUE(RegSetDWORD(HKEY_CURRENT_USER, path, 1)) << path; }
    static std::string Subkeys(const std::string& keyPath) {
        std::string names = "stale";
        EXPECT_TRUE(RegEnumKeys(HKEY_CURRENT_USER, keyPath, names)) << keyPath;
        return names;
    }
    static std::string Values(const std::string& keyPath) {
        std::string names = "stale";
        EXPECT_TRUE(RegEnumValues(HKEY_CURRENT_USER, keyPath, names)) << keyPath;
        return names;
    }
};

TEST_F(MiniregKeys, WritingCreatesEveryKeyOnTheWay) {
    Put(kCompany + "\\A\\B\\C\\Value");
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Software"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kCompany + "\\A\\B"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kCompany + "\\A\\B\\C"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kCompany + "\\A\\B\\C\\"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kCompany + "\\A\\B\\C\\Value"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, "\\Software"));
    EXPECT_EQ(Subkeys(kCompany + "\\A"), "B");
}

TEST_F(MiniregKeys, EnumerationListsNamesInCreationOrderJoinedByCrLf) {
    Put(kCompany + "\\Lists\\Zeta\\v");
    Put(kCompany + "\\Lists\\alpha\\v");
    Put(kCompany + "\\Lists\\Мир\\v");
    Put(kCompany + "\\Lists\\Fav2");
    Put(kCompany + "\\Lists\\Fav1");
    Put(kCompany + "\\Lists\\Fav2"); // rewriting keeps the place
    EXPECT_EQ(Subkeys(kCompany + "\\Lists"), "Zeta\r\nalpha\r\nМир");
    EXPECT_EQ(Values(kCompany + "\\Lists"), "Fav2\r\nFav1");
}

TEST_F(MiniregKeys, EnumerationOfAKeyWithoutEntriesIsEmptyAndOfAMissingKeyFails) {
    Put(kCompany + "\\Empty\\");
    ASSERT_TRUE(RegDelValue(HKEY_CURRENT_USER, kCompany + "\\Empty\\"));
    EXPECT_EQ(Subkeys(kCompany + "\\Empty"), "");
    EXPECT_EQ(Values(kCompany + "\\Empty"), "");

    std::string names = "stale";
    EXPECT_FALSE(RegEnumKeys(HKEY_CURRENT_USER, kCompany + "\\Missing", names));
    EXPECT_EQ(names, "");
    names = "stale";
    EXPECT_FALSE(RegEnumValues(HKEY_CURRENT_USER, kCompany + "\\Missing", names));
    EXPECT_EQ(names, "");
}

TEST_F(MiniregKeys, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, "Software\\Ёлка Σοφία\\Имя", "первый"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, "SOFTWARE\\ёЛКА ΣΟΦΊΑ\\иМЯ", "второй"));

    std::string text;
    EXPECT_TRUE(RegGetString(HKEY_CURRENT_USER, "software\\ЁЛКА σοφία\\ИМЯ", text));
    EXPECT_EQ(text, "второй");
    EXPECT_EQ(Subkeys(""), "Software");
    EXPECT_EQ(Subkeys("software"), "Ёлка Σοφία");
    EXPECT_EQ(Values("SOFTWARE\\ёлка σοφία"), "Имя");
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "sOfTwArE\\ЁЛКА ΣΟΦΊΑ"));
    EXPECT_TRUE(RegDelValue(HKEY_CURRENT_USER, "Software\\ёлка σοφία\\имя"));
    EXPECT_EQ(Values("Software\\Ёлка Σοφία"), "");
}

TEST_F(MiniregKeys, NamesThatOnlyLookAlikeStayApart) {
    Put(kCompany + "\\Cafe\xCC\x81"); // "e" and a combining accent
    Put(kCompany + "\\Caf\xC3\xA9");  // the precomposed letter
    Put(kCompany + "\\\xFF\xFE");     // bytes that are no UTF-8
    Put(kCompany + "\\\xFF\xFF");
    Put(kCompany + "\\\xEF\xBB\xBFName"); // an initial byte order mark is part of the name
    Put(kCompany + "\\Name");
    EXPECT_EQ(Values(kCompany),
              "Cafe\xCC\x81\r\nCaf\xC3\xA9\r\n\xFF\xFE\r\n\xFF\xFF\r\n\xEF\xBB\xBFName\r\nName");
}

TEST_F(MiniregKeys, DelKeyRemovesAKeyWithItsValuesButNotOneWithSubkeys) {
    Put(kCompany + "\\Favorites\\Fav1");
    Put(kCompany + "\\Favorites\\Fav2");
    Put(kCompany + "\\Tree\\Branch\\Leaf");

    EXPECT_TRUE(RegDelKey(HKEY_CURRENT_USER, kCompany + "\\FAVORITES"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kCompany + "\\Favorites"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, kCompany + "\\Favorites\\Fav1"));
    EXPECT_FALSE(RegDelKey(HKEY_CURRENT_USER, kCompany + "\\Favorites"));

    EXPECT_FALSE(RegDelKey(HKEY_CURRENT_USER, kCompany + "\\Tree"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kCompany + "\\Tree\\Branch\\Leaf"));
    EXPECT_FALSE(RegDelKey(HKEY_CURRENT_USER, "\\"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kCompany));
}

TEST_F(MiniregKeys, DelKeyWithAnEmptyNameDeletesTheOpenedKeyItself) {
    Put(kCompany + "\\Bookmarks\\Bm1");
    EXPECT_TRUE(RegDelKey(HKEY_CURRENT_USER, kCompany + "\\Bookmarks\\"));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kCompany + "\\Bookmarks"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kCompany));
}

TEST_F(MiniregKeys, DelKeyExRecursiveRemovesTheWholeSubtree) {
    Put(kCompany + "\\Diary\\2026\\12\\07\\Obj1");
    Put(kCompany + "\\Diary\\2026\\11\\Obj2");
    Put(kCompany + "\\Diary\\Count");
    Put(kCompany + "\\Other\\Kept");

    EXPECT_FALSE(RegDelKeyEx(HKEY_CURRENT_USER, kCompany + "\\Diary", false));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, kCompany + "\\Diary\\2026\\12\\07"));

    EXPECT_TRUE(RegDelKeyEx(HKEY_CURRENT_USER, kCompany + "\\Diary", true));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kCompany + "\\Diary"));
    EXPECT_EQ(Subkeys(kCompany), "Other");
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, kCompany + "\\Other\\Kept"));
    EXPECT_FALSE(RegDelKeyEx(HKEY_CURRENT_USER, kCompany + "\\Diary", true));

    // A new key of the same name starts empty.
    Put(kCompany + "\\Diary\\Count");
    EXPECT_EQ(Subkeys(kCompany + "\\Diary"), "");
}

TEST_F(MiniregKeys, DelKeyExRefusesAKeyDirectlyUnderTheRoot) {
    Put("Software\\Value");
    EXPECT_FALSE(RegDelKeyEx(HKEY_CURRENT_USER, "Software", true));
    EXPECT_FALSE(RegDelKeyEx(HKEY_CURRENT_USER, "Software", false));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Software"));

    Put(kCompany + "\\Leaf\\Value");
    EXPECT_TRUE(RegDelKeyEx(HKEY_CURRENT_USER, kCompany + "\\Leaf", false));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kCompany + "\\Leaf"));
}

TEST_F(MiniregKeys, TheTwoRootsAreSeparateStores) {
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kCompany + "\\Where", "machine"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, kCompany + "\\Where", "user"));
    std::string text;
    EXPECT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, kCompany + "\\Where", text));
    EXPECT_EQ(text, "machine");
    EXPECT_TRUE(RegGetString(HKEY_CURRENT_USER, kCompany + "\\Where", text));
    EXPECT_EQ(text, "user");
    EXPECT_TRUE(std::filesystem::exists(registry.machineStore()));

    const HKEY classesRoot = 0x80000000u;
    EXPECT_FALSE(RegSetString(classesRoot, kCompany + "\\Where", "x"));
    EXPECT_FALSE(RegKeyExists(classesRoot, ""));
}

TEST_F(MiniregKeys, ReadingAMissingStoreFailsWithoutCreatingIt) {
    std::string text;
    std::string names;
    EXPECT_FALSE(RegGetString(HKEY_CURRENT_USER, kCompany + "\\Value", text));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, ""));
    EXPECT_FALSE(RegEnumKeys(HKEY_CURRENT_USER, "", names));
    EXPECT_FALSE(RegDelValue(HKEY_CURRENT_USER, kCompany + "\\Value"));
    EXPECT_FALSE(RegDelKey(HKEY_CURRENT_USER, kCompany + "\\Key"));
    EXPECT_FALSE(RegDelKeyEx(HKEY_CURRENT_USER, kCompany + "\\Key", true));
    EXPECT_FALSE(std::filesystem::exists(registry.userStore()));
}

TEST(MiniregStoreLocation, UserStoreLiesUnderTheConfigFolderAndIsPrivate) {
    IsolatedRegistry registry;
    TemporaryFolder config;
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qunsetenv(kUserRegistryEnv);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(config.path()));

    const bool written = RegSetString(HKEY_CURRENT_USER, kCompany + "\\Where", "config");
    const std::string file = config.file("varindel/registry.sqlite");
    const bool exists = std::filesystem::exists(file);
    struct stat status {};
    ::stat(file.c_str(), &status);
    std::string text;
    RegGetString(HKEY_CURRENT_USER, kCompany + "\\Where", text);

    if (oldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
    EXPECT_TRUE(written);
    EXPECT_TRUE(exists);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    EXPECT_EQ(text, "config");
}

TEST(MiniregStoreLocation, OverriddenUserStoreIsCreatedWithItsFoldersAndPrivate) {
    IsolatedRegistry registry;
    TemporaryFolder folder;
    const std::string file = folder.file("deep/er/user.sqlite");
    qputenv(kUserRegistryEnv, QByteArray::fromStdString(file));
    ASSERT_TRUE(RegSetDWORD(HKEY_CURRENT_USER, kCompany + "\\3DView", 1));
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
}

TEST(MiniregConnect, LocalNamesGiveAHandleToTheLocalRoot) {
    IsolatedRegistry registry;
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, kCompany + "\\Owner", "Склад"));

    for (const std::string& name : {std::string(), QSysInfo::machineHostName().toUpper().toStdString(),
                                    "\\\\" + QSysInfo::machineHostName().toStdString()}) {
        HKEY handle = 0;
        ASSERT_TRUE(RegConnect(name, HKEY_LOCAL_MACHINE, handle)) << name;
        EXPECT_NE(handle, 0u);
        EXPECT_NE(handle, HKEY_LOCAL_MACHINE);
        std::string text;
        EXPECT_TRUE(RegGetString(handle, kCompany + "\\Owner", text));
        EXPECT_EQ(text, "Склад");
        EXPECT_TRUE(RegDisconnect(handle));
        EXPECT_FALSE(RegGetString(handle, kCompany + "\\Owner", text));
        EXPECT_FALSE(RegDisconnect(handle));
    }
}

TEST(MiniregConnect, OtherMachinesAndUnknownHandlesFail) {
    IsolatedRegistry registry;
    HKEY handle = 77;
    EXPECT_FALSE(RegConnect("no-such-machine.invalid", HKEY_LOCAL_MACHINE, handle));
    EXPECT_EQ(handle, 0u);
    EXPECT_FALSE(RegConnect("", 0x80000000u, handle));
    EXPECT_EQ(handle, 0u);
    EXPECT_FALSE(RegDisconnect(0x12345));
    EXPECT_FALSE(RegDisconnect(HKEY_CURRENT_USER));

    HKEY user = 0;
    ASSERT_TRUE(RegConnect("", HKEY_CURRENT_USER, user));
    EXPECT_TRUE(RegSetDWORD(user, kCompany + "\\Tab", 120));
    std::uint32_t height = 0;
    EXPECT_TRUE(RegGetDWORD(HKEY_CURRENT_USER, kCompany + "\\Tab", height));
    EXPECT_EQ(height, 120u);
    EXPECT_TRUE(RegDisconnect(user));
}

} // namespace
