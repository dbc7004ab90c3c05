#include "Vdlconsts.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(EditionTable, PasswordsAreDistinct128PrintableCharacters)
{
    for (int edition = 1; edition <= kEditionCount; ++edition) {
        const char* password = MapPw[edition];
        ASSERT_EQ(std::strlen(password), 128u) << "edition " << edition;
        for (const char* c = password; *c; ++c)
            EXPECT_TRUE(*c >= 32 && *c <= 126) << "edition " << edition;
    }
    EXPECT_STRNE(MapPw[1], MapPw[2]);
}

TEST(EditionTable, EditionsInTableOrder)
{
    EXPECT_STREQ(MapFiles[1], "dataomk.abs");
    EXPECT_STREQ(MapFiles[2], "datakrv.abs");
    EXPECT_STREQ(MapNames[1], "Ольмарск");
    EXPECT_STREQ(MapDescriptions[2], "Корвинск. Сентябрь 2008");
}
