// Firm lists as a spreadsheet table and as vCard address cards, read back
// with Python's csv module and python3-vobject.
#include "FirmListFiles.h"
#include "ReadBack.h"
#include "SaveFile.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

// Everything that breaks a careless writer: Cyrillic, quotes, the field
// separator, commas, backslashes, line breaks of both kinds.
const QString kName = QStringLiteral("ООО \"Ромашка; и К°\", сеть аптек");
const QString kMultilineNote = QStringLiteral("Первая строка\r\nвторая; \"цитата\", запятая \\ и\nтретья");

ExportFirm trickyFirm()
{
    ExportFirm firm;
    firm.id = 7;
    firm.name = kName;
    firm.categories = {QStringLiteral("Аптеки"), QStringLiteral("Оптика; линзы")};
    firm.phones = QStringLiteral("22-33-44, 22-33-45");
    firm.web = QStringLiteral("www.romashka.ru");
    firm.email = QStringLiteral("info@romashka.ru");
    firm.bus = QStringLiteral("5, 12");
    firm.note = kMultilineNote;
    ExportAddress main{101, QStringLiteral("Ленина"), QStringLiteral("10/2"), QStringLiteral("15"),
                       QStringLiteral("55-66-77\r\n55-66-78"), {}, QStringLiteral("3т"), MapPoint{1000, 2000}};
    ExportAddress second{102, QStringLiteral("Мира"), QStringLiteral("1"), {}, {}, QStringLiteral("7"), {}, std::nullopt};
    firm.addresses = {main, second};
    return firm;
}

ExportFirm firmWithoutAddress()
{
    ExportFirm firm;
    firm.id = 8;
    firm.name = QStringLiteral("Фирма без адреса и с очень длинным названием, которое не поместится в одну строку карточки");
    firm.phones = QStringLiteral("11-11-11");
    return firm;
}

QStringList row(const QJsonValue& value)
{
    QStringList fields;
    for (const auto& field : value.toArray())
        fields << field.toString();
    return fields;
}

QStringList strings(const QJsonValue& value)
{
    QStringList result;
    for (const auto& item : value.toArray())
        result << (item.isArray() ? row(item).join(QLatin1Char(',')) : item.toString());
    return result;
}

const GeoReference kOmsk({54.98, 73.37}, {1000, 1000});

} // namespace

TEST(FirmsCsv, EveryFieldSurvivesPythonsCsvReaderOneRowPerAddress)
{
    TemporaryFolder folder;
    const QByteArray table = FirmsCsv({trickyFirm(), firmWithoutAddress()});
    ASSERT_TRUE(table.startsWith("\xEF\xBB\xBF"));
    const QJsonArray rows = ReadBack(QStringLiteral("csv"), WrittenFile(folder, "list.csv", table)).toArray();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(row(rows[0]), (QStringList{"Название", "Рубрики", "Телефоны", "Сайт", "Электронная почта", "Улица", "Дом",
                                         "Офис", "Автобус", "Маршрутное такси", "Примечание"}));
    EXPECT_EQ(row(rows[1]), (QStringList{kName, "Аптеки, Оптика; линзы", "22-33-44, 22-33-45\r\n55-66-77\r\n55-66-78",
                                         "www.romashka.ru", "info@romashka.ru", "Ленина", "10/2", "15", "5, 12", "3т",
                                         kMultilineNote}));
    // The second address has routes of its own but no office or phones.
    EXPECT_EQ(row(rows[2]), (QStringList{kName, "Аптеки, Оптика; линзы", "22-33-44, 22-33-45", "www.romashka.ru",
                                         "info@romashka.ru", "Мира", "1", "", "7", "", kMultilineNote}));
    EXPECT_EQ(row(rows[3]), (QStringList{firmWithoutAddress().name, "", "11-11-11", "", "", "", "", "", "", "", ""}));
}

TEST(FirmsVCard, CardsReadBackWithVobjectAndLongLinesFoldedWithinCharacters)
{
    TemporaryFolder folder;
    const QByteArray cards = FirmsVCard({trickyFirm(), firmWithoutAddress()}, kOmsk);
    for (const QByteArray& line : cards.split('\n'))
        EXPECT_LE(line.size(), 76) << line.toStdString(); // 75 octets and the CR
    const QJsonArray read = ReadBack(QStringLiteral("vcard"), WrittenFile(folder, "list.vcf", cards)).toArray();
    ASSERT_EQ(read.size(), 2);

    const QJsonObject card = read[0].toObject();
    EXPECT_EQ(strings(card["VERSION"]), QStringList{"4.0"});
    EXPECT_EQ(strings(card["FN"]), QStringList{kName});
    EXPECT_EQ(strings(card["ORG"]), QStringList{kName});
    QString note = kMultilineNote;
    note.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    EXPECT_EQ(strings(card["NOTE"]), QStringList{note});
    EXPECT_EQ(strings(card["CATEGORIES"]), QStringList{"Аптеки,Оптика; линзы"});
    EXPECT_EQ(strings(card["TEL"]), (QStringList{"22-33-44", "22-33-45", "55-66-77", "55-66-78"}));
    EXPECT_EQ(strings(card["URL"]), QStringList{"http://www.romashka.ru"});
    EXPECT_EQ(strings(card["EMAIL"]), QStringList{"info@romashka.ru"});
    EXPECT_EQ(strings(card["ADR"]), (QStringList{",15,Ленина, 10/2,,,,", ",,Мира, 1,,,,"}));

    // Only the address whose building is on the map has a place on the Earth.
    const QStringList geo = strings(card["GEO"]);
    ASSERT_EQ(geo.size(), 1);
    const GeoCoordinate expected = kOmsk.toGeo({1000, 2000});
    EXPECT_EQ(geo[0], QStringLiteral("geo:%1,%2").arg(DegreesText(expected.latitude), DegreesText(expected.longitude)));
    EXPECT_NEAR(expected.latitude, 54.98 + 1000 / 111195.08, 1e-6);

    EXPECT_EQ(strings(read[1].toObject()["FN"]), QStringList{firmWithoutAddress().name});
}

TEST(FirmsVCard, EditionWithoutGeographicReferenceWritesNoCoordinates)
{
    TemporaryFolder folder;
    const QJsonArray read =
        ReadBack(QStringLiteral("vcard"), WrittenFile(folder, "list.vcf", FirmsVCard({trickyFirm()}, std::nullopt))).toArray();
    ASSERT_EQ(read.size(), 1);
    EXPECT_FALSE(read[0].toObject().contains("GEO"));
    EXPECT_EQ(strings(read[0].toObject()["ADR"]).size(), 2);
}

TEST(ContentLines, FoldingKeepsEveryCharacterWhole)
{
    const QString line = QStringLiteral("NOTE:") + QString(100, QChar(0x0416)); // "Ж", two octets each
    const QByteArray folded = FoldedContentLine(line);
    QByteArray unfolded = folded;
    unfolded.replace("\r\n ", "");
    EXPECT_EQ(QString::fromUtf8(unfolded.chopped(2)), line);
    for (const QByteArray& piece : folded.split('\n'))
        EXPECT_TRUE(QString::fromUtf8(piece).toUtf8() == piece) << "a character was cut";
}
