// Addresses of the publisher's file against those of the map.
#include "AddressKey.h"

#include <gtest/gtest.h>

TEST(AddressKey, EveryStreetTypeSpellingInEitherOrderGivesOneKey)
{
    const std::vector<std::vector<QString>> sameStreets{
        {"улица Ленина", "ул. Ленина", "ул Ленина", "Ленина улица", "Ленина ул.", "УЛИЦА ЛЕНИНА", "ул.Ленина"},
        {"проспект Мира", "пр-т Мира", "пр. Мира", "Мира проспект", "просп. Мира"},
        {"Кривоколенный переулок", "пер. Кривоколенный", "переулок Кривоколенный"},
        {"Тверской бульвар", "б-р Тверской", "бульвар Тверской"},
        {"Дмитровское шоссе", "ш. Дмитровское", "шоссе Дмитровское"},
        {"площадь Победы", "пл. Победы", "Победы площадь"},
        {"улица Королёва", "ул. Королева", "Королева улица"},
    };
    for (const auto& spellings : sameStreets)
        for (const QString& spelling : spellings)
            EXPECT_EQ(NormalisedStreet(spelling), NormalisedStreet(spellings.front())) << spelling.toStdString();
}

TEST(AddressKey, DifferentStreetsStayApart)
{
    EXPECT_NE(NormalisedStreet("улица Ленина"), NormalisedStreet("проспект Ленина"));
    EXPECT_NE(NormalisedStreet("1-я Парковая улица"), NormalisedStreet("2-я Парковая улица"));
    EXPECT_NE(NormalisedStreet("Mannerheimintie"), NormalisedStreet("Mannerheiminaukio"));
    EXPECT_EQ(NormalisedStreet("Mannerheimintie"), NormalisedStreet("  MANNERHEIMINTIE "));
}

TEST(AddressKey, HouseFormsGiveOneKey)
{
    for (const char* house : {"12к1", "12 к1", "12 корп. 1", "12 корпус 1", "12К1", "д. 12 к. 1"})
        EXPECT_EQ(NormalisedHouse(house), NormalisedHouse("12к1")) << house;
    EXPECT_EQ(NormalisedHouse("12А"), NormalisedHouse("12а"));
    EXPECT_EQ(NormalisedHouse("27А с1"), NormalisedHouse("27а стр. 1"));
    EXPECT_EQ(NormalisedHouse("4 строение 3"), NormalisedHouse("4с3"));
    EXPECT_NE(NormalisedHouse("12/2"), NormalisedHouse("122"));
    EXPECT_NE(NormalisedHouse("12к1"), NormalisedHouse("12с1"));
    EXPECT_NE(NormalisedHouse("12"), NormalisedHouse("12а"));
}
