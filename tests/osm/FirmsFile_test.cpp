// The publisher's firm file: what is read and what is refused, with its line.
#include "FirmsFile.h"

#include "TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

Result<std::vector<FirmsFileRow>> parse(const QString& text, const QString& folder = QString())
{
    return ParseFirmsFile(text.toUtf8(), QStringLiteral("firms.csv"), folder);
}

} // namespace

TEST(FirmsFile, ReadsQuotedFieldsLineBreaksAndRussianHeaders)
{
    const auto rows = parse("название,рубрики,телефоны,улица,дом,офис\n"
                            "\"ООО \"\"Ромашка\"\"\",Здоровье/Аптеки; Магазины,\"+7 1, +7 2\",ул. Ленина,12к1,5\n"
                            "\n"
                            "\"Две\nстроки\",,,,,\n");
    ASSERT_TRUE(rows) << rows.error().toStdString();
    ASSERT_EQ(rows.value().size(), 2u);
    const FirmsFileRow& first = rows.value()[0];
    EXPECT_EQ(first.line, 2);
    EXPECT_EQ(first.name, "ООО \"Ромашка\"");
    EXPECT_EQ(first.categories, QStringList({"Здоровье/Аптеки", "Магазины"}));
    EXPECT_EQ(first.phones, "+7 1, +7 2");
    EXPECT_EQ(first.street, "ул. Ленина");
    EXPECT_EQ(first.house, "12к1");
    EXPECT_EQ(first.office, "5");
    EXPECT_EQ(rows.value()[1].name, "Две\nстроки");
    EXPECT_EQ(rows.value()[1].line, 4);
}

TEST(FirmsFile, RefusesBadInputNamingTheLine)
{
    const auto unclosed = parse("name,street\nА,ул. Ленина\n\"Б,ул. Мира\n");
    ASSERT_FALSE(unclosed);
    EXPECT_TRUE(unclosed.error().contains("firms.csv") && unclosed.error().contains("строка 3")) << unclosed.error().toStdString();

    const auto unknown = parse("name,colour\nА,синий\n");
    ASSERT_FALSE(unknown);
    EXPECT_TRUE(unknown.error().contains("colour"));

    const auto nameless = parse("name,street\nА,x\n,ул. Мира\n");
    ASSERT_FALSE(nameless);
    EXPECT_TRUE(nameless.error().contains("строка 3"));

    const auto deepCategory = parse("name,categories\nА,Один/Два/Три\n");
    ASSERT_FALSE(deepCategory);
    EXPECT_TRUE(deepCategory.error().contains("Один/Два/Три"));

    const auto tooManyFields = parse("name\nА,лишнее\n");
    EXPECT_FALSE(tooManyFields);

    EXPECT_FALSE(ParseFirmsFile(QByteArray("name\n\xff\xfe\n"), "firms.csv", QString()));
    EXPECT_FALSE(ReadFirmsFile("/nonexistent/firms.csv"));
}

TEST(FirmsFile, LogoIsReadBesideTheFileOrRefused)
{
    TemporaryFolder folder;
    QFile logo(QString::fromStdString(folder.file("logo.png")));
    ASSERT_TRUE(logo.open(QIODevice::WriteOnly));
    logo.write("PNGDATA");
    logo.close();
    const QString dir = QString::fromStdString(folder.path());
    const auto rows = parse("name,logo\nА,logo.png\n", dir);
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows.value()[0].logo, QByteArray("PNGDATA"));
    EXPECT_EQ(rows.value()[0].logoName, "logo.png");
    const auto missing = parse("name,logo\nА,logo.png\nБ,none.png\n", dir);
    ASSERT_FALSE(missing);
    EXPECT_TRUE(missing.error().contains("строка 3") && missing.error().contains("none.png"));
}
