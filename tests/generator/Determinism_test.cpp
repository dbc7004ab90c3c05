// The same seed gives a byte-identical plain database; another seed or the
// other edition gives other data. And the directory's size at full scale.
#include "Directory.h"
#include "EditionGenerator.h"
#include "TestEnvironment.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

namespace {

QByteArray plainEdition(const TemporaryFolder& folder, const std::string& name, const EditionOptions& options)
{
    const QString path = QString::fromStdString(folder.file(name));
    const Status written = WritePlainEdition(options, path);
    EXPECT_TRUE(written.ok()) << written.error().toStdString();
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

TEST(Determinism, TheSameSeedGivesTheSameBytes)
{
    TemporaryFolder folder;
    const QByteArray first = plainEdition(folder, "a.sqlite", {2, 11, 0.03});
    const QByteArray second = plainEdition(folder, "b.sqlite", {2, 11, 0.03});
    ASSERT_GT(first.size(), 10000);
    EXPECT_TRUE(first == second);
    EXPECT_FALSE(first == plainEdition(folder, "c.sqlite", {2, 12, 0.03}));
    EXPECT_FALSE(first == plainEdition(folder, "d.sqlite", {1, 11, 0.03}));
}

TEST(Determinism, BadOptionsAreRefused)
{
    TemporaryFolder folder;
    const QString path = QString::fromStdString(folder.file("x.sqlite"));
    EXPECT_FALSE(WritePlainEdition({3, 1, 1}, path).ok());
    EXPECT_FALSE(WritePlainEdition({1, 1, 0}, path).ok());
    EXPECT_FALSE(QFile::exists(path));
}

TEST(DirectorySize, AFullCityHasThousandsOfFirmsWithBelievableFields)
{
    const City city = BuildCity({1, 1, 1});
    Prng random = Prng::stream(1, 1, 101);
    const Directory directory = BuildDirectory(city, 1, 1, random);
    EXPECT_GE(directory.firms.size(), 3000u);
    EXPECT_GE(directory.categories.size(), 150u);
    int shownAlways = 0, highlighted = 0, severalCategories = 0;
    QSet<int> linked;
    for (const FirmCategoryLink& link : directory.links) {
        if (linked.contains(link.firmId))
            ++severalCategories;
        linked.insert(link.firmId);
    }
    for (const FirmRecord& firm : directory.firms) {
        shownAlways += firm.showAlways;
        highlighted += firm.selectedFont;
        EXPECT_LE(firm.name.size(), 200);
        EXPECT_LE(firm.phones.size(), 80);
        EXPECT_LE(firm.bus.size(), 20);
        EXPECT_LE(firm.minibus.size(), 20);
        if (!firm.web.isEmpty()) {
            EXPECT_TRUE(firm.web.endsWith(QStringLiteral(".example"))) << firm.web.toStdString();
        }
        if (!firm.email.isEmpty()) {
            EXPECT_TRUE(firm.email.contains(QLatin1Char('@')) && firm.email.endsWith(QStringLiteral(".example")));
        }
    }
    EXPECT_GE(shownAlways, 3);
    EXPECT_LE(shownAlways, 12);
    EXPECT_GT(highlighted, 50);
    EXPECT_GT(severalCategories, 100);
    int withOffice = 0, withPhones = 0, banners = 0;
    for (const FirmAddress& address : directory.addresses) {
        EXPECT_LE(address.office.size(), 4);
        withOffice += !address.office.isNull();
        banners += address.isBanner;
        if (!address.phones.isEmpty()) {
            ++withPhones;
            EXPECT_TRUE(address.phones.endsWith(QStringLiteral("\r\n"))) << "every line ends at a carriage return";
        }
    }
    EXPECT_GT(withOffice, 100);
    EXPECT_GT(withPhones, 100);
    EXPECT_GT(banners, 0);
}
