// The building blocks of names and numbers: the generator's own random
// sequence, Latin spellings for web addresses, street names and the
// category tree.
#include "CategoryTree.h"
#include "ContentItems.h"
#include "FirmText.h"
#include "Prng.h"
#include "StreetNames.h"
#include "Vocabulary.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

TEST(Prng, IsAFixedSequenceWhateverTheLibrary)
{
    // SplitMix64's published first outputs for seed 0 pin the sequence down,
    // so editions come out the same on every machine.
    Prng random(0);
    EXPECT_EQ(random.next(), 0xE220A8397B1DCDAFull);
    EXPECT_EQ(random.next(), 0x6E789E6AA1B965F4ull);
}

TEST(Prng, RangesStayWithinTheirEndsAndReachBoth)
{
    Prng random(42);
    QSet<int> seen;
    for (int k = 0; k < 2000; ++k) {
        const int value = random.range(-2, 3);
        ASSERT_GE(value, -2);
        ASSERT_LE(value, 3);
        seen.insert(value);
        const double unit = random.unit();
        ASSERT_GE(unit, 0.0);
        ASSERT_LT(unit, 1.0);
    }
    EXPECT_EQ(seen.size(), 6);
}

TEST(Prng, StreamsOfDifferentPurposesDiffer)
{
    EXPECT_NE(Prng::stream(1, 1, 5).next(), Prng::stream(1, 1, 6).next());
    EXPECT_NE(Prng::stream(1, 1, 5).next(), Prng::stream(1, 2, 5).next());
    EXPECT_EQ(Prng::stream(1, 1, 5).next(), Prng::stream(1, 1, 5).next());
}

TEST(Vocabulary, TransliterationGivesDomainLabels)
{
    EXPECT_EQ(Vocabulary::transliterate(QStringLiteral("АвтоЛидер")), QStringLiteral("avtolider"));
    EXPECT_EQ(Vocabulary::transliterate(QStringLiteral("Щит и Меч-Плюс")), QStringLiteral("schit-i-mech-plyus"));
    EXPECT_EQ(Vocabulary::transliterate(QStringLiteral("Объект №1 ")), QStringLiteral("obekt-1"));
}

TEST(Vocabulary, WebAndMailAddressesUseTheReservedExampleDomain)
{
    EXPECT_EQ(WebAddress(QStringLiteral("Вектор"), 1, 0), QStringLiteral("www.vektor-omk.example"));
    EXPECT_EQ(WebAddress(QStringLiteral("Вектор"), 2, 1), QStringLiteral("www.vektor2-krv.example"));
    Prng random(1);
    EXPECT_TRUE(MailAddress(QStringLiteral("www.vektor-omk.example"), random).endsWith(QStringLiteral("@vektor-omk.example")));
}

TEST(Vocabulary, PhonesFollowEachCitysLocalFormat)
{
    Prng random(2);
    for (int k = 0; k < 50; ++k) {
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[2356]\\d-\\d\\d-\\d\\d$")).match(LocalPhone(1, random)).hasMatch());
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^[4579]\\d\\d-\\d\\d-\\d\\d$")).match(LocalPhone(2, random)).hasMatch());
        EXPECT_LE(FirmPhones(1, random).size(), 80);
    }
}

TEST(Vocabulary, RouteTextStopsBeforeTheFieldLength)
{
    EXPECT_EQ(RouteText({"12", "45", "108"}), QStringLiteral("12, 45, 108"));
    EXPECT_EQ(RouteText({"123456789", "123456789", "1"}, 20), QStringLiteral("123456789, 123456789"));
    EXPECT_EQ(RouteText({}), QString());
}

TEST(StreetNames, AreUniqueAndNumberedOnlyBeforeAdjectives)
{
    StreetNamer namer(Prng(3));
    QSet<QString> names;
    for (int k = 0; k < 600; ++k) {
        const QString name = namer.name(k % 3 == 0 ? StreetKind::Street : k % 3 == 1 ? StreetKind::Lane : StreetKind::Avenue);
        EXPECT_FALSE(names.contains(name)) << name.toStdString();
        names.insert(name);
        if (name.at(0).isDigit()) {
            EXPECT_FALSE(name.contains(QStringLiteral(" улица ")) || name.contains(QStringLiteral("-й улица")))
                << name.toStdString();
        }
    }
}

TEST(StreetNames, ReservedNamesAreNotGivenAgain)
{
    StreetNamer namer(Prng(4));
    namer.reserve(QStringLiteral("улица Ленина"));
    for (int k = 0; k < 300; ++k)
        EXPECT_NE(namer.name(StreetKind::Street), QStringLiteral("улица Ленина"));
}

TEST(CategoryTree, HasThreeLevelsOfRussianCategoriesWithParentsFirst)
{
    const std::vector<CategoryNode> tree = BuildCategoryTree();
    ASSERT_GE(tree.size(), 150u);
    QSet<int> seen;
    int levels[3] = {0, 0, 0};
    for (std::size_t k = 0; k < tree.size(); ++k) {
        const CategoryNode& node = tree[k];
        EXPECT_EQ(node.id, static_cast<int>(k) + 1);
        ASSERT_GE(node.level, 0);
        ASSERT_LE(node.level, 2);
        ++levels[node.level];
        EXPECT_EQ(node.parentId == 0, node.level == 0);
        if (node.parentId > 0) {
            EXPECT_TRUE(seen.contains(node.parentId));
            EXPECT_EQ(tree[static_cast<std::size_t>(node.parentId - 1)].level, node.level - 1);
        }
        EXPECT_FALSE(node.name.isEmpty());
        EXPECT_LE(node.name.size(), 60);
        seen.insert(node.id);
    }
    EXPECT_GE(levels[0], 10);
    EXPECT_GE(levels[2], 60);
    EXPECT_EQ(tree[0].name, QStringLiteral("Авто"));
}

TEST(ScaleParameters, ShowTheWholeCityInAThousandPixelsAtStart)
{
    City city;
    TPMXMapObjectMem district;
    district.ObjType = otDistrict;
    district.Geometry = {{0, 0}, {9000, 0}, {9000, 7000}, {0, 7000}};
    city.objects.push_back(district);
    city.extent = QRectF(0, 0, 12000, 9000);
    const ScaleParameters scales = ScaleParametersFor(city);
    EXPECT_EQ(scales.mapScale, 240); // 2160 * 1000 px / 9000 m
    EXPECT_LT(scales.minScale, scales.mapScale);
    EXPECT_GT(scales.maxScale, 5000);
    EXPECT_GT(scales.stepScale, 36);
    EXPECT_GT(scales.lensStep, 1);
}
