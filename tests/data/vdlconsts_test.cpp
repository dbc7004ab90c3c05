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

TEST(LayerVisibility, StrictThresholdsAt500And3000)
{
    for (int type : {0, 1, 2, 3, 5}) {
        EXPECT_FALSE(LayerVisibleAtScale(type, 500)) << type;
        EXPECT_TRUE(LayerVisibleAtScale(type, 500.1)) << type;
    }
    EXPECT_TRUE(LayerVisibleAtScale(4, 500));
    EXPECT_FALSE(LayerVisibleAtScale(4, 500.1));
    for (int type : {7, 8}) {
        EXPECT_FALSE(LayerVisibleAtScale(type, 3000)) << type;
        EXPECT_TRUE(LayerVisibleAtScale(type, 3000.5)) << type;
    }
    EXPECT_FALSE(IsSwitchedLayer(6));
    EXPECT_FALSE(IsSwitchedLayer(9));
}
