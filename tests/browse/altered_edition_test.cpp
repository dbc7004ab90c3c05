// Every byte of a small sealed edition altered in turn: opening it or reading
// all of it the way the program does must report the damage, never crash and
// never hand back something other than what was sealed.
#include "CategoryTree.h"
#include "DataErrors.h"
#include "Datamodule.h"
#include "EditionEntries.h"
#include "ExportFirms.h"
#include "IconLibrary.h"
#include "MapFormat.h"
#include "PaintHooks.h"
#include "SearchQuery.h"
#include "SyntheticCity.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"
#include "firmlist_fixture.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <iostream>

namespace {

constexpr int kShards = 4;

QByteArray tinyJpeg(QColor colour)
{
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 10);
    return bytes;
}

QByteArray tinyMap()
{
    std::vector<TPMXMapObjectMem> objects;
    for (const std::int32_t id : {700, 701, 702}) {
        TPMXMapObjectMem house = squareObject(id, otBuilding, id, 100, 20);
        house.HasAddress = true;
        house.Street = "Мира";
        house.House = QString::number(id - 699);
        objects.push_back(house);
    }
    objects.push_back(labelObject(703, 40, 40));
    MapModel model;
    model.assign(std::move(objects));
    return writeMapFile(model);
}

// The browsing edition with every content item the program reads, post
// indexes, and pages of 512 bytes so that it stays small.
void buildSmallEdition(const std::string& plainPath, const std::string& sealedPath)
{
    TinyEdition edition(plainPath);
    BuildBrowseEdition(edition);
    edition.addContent(1, syntheticIcons().save("ICONS.LIB"));
    edition.addContent(2, tinyMap());
    edition.addText(3, "<html><body>Прайс</body></html>");
    for (const int code : {5, 6, 7, 8, 23, 24})
        edition.addText(code, QString("Реестр%1").arg(code));
    for (const auto& [code, value] : {std::pair{9, 2000}, {10, 500}, {11, 40000}, {12, 500}, {35, 7}, {36, 9}})
        edition.addText(code, QString::number(value));
    const QByteArray banner = tinyJpeg(Qt::darkGreen);
    for (int code = 13; code <= 34; ++code)
        if (code != 23 && code != 24)
            edition.addContent(code, banner, 10);
    edition.addPostIndex(1, "644000");
    edition.addPostIndex(2, "644001");
    edition.addPostIndexObject(700, 1);
    edition.addPostIndexObject(701, 2);
    edition.exec("PRAGMA page_size = 512");
    edition.exec("VACUUM");
    edition.sealAs(sealedPath, 1);
}

void appendRows(TQuery& query, QByteArray& out)
{
    query.Open();
    for (query.First(); !query.Eof(); query.Next()) {
        for (int i = 0; i < query.FieldCount(); ++i)
            out += query.Fields(i).AsVariant().toByteArray() + '|';
        out += '\n';
    }
    query.Close();
}

void appendStatement(TDM& dm, const QString& sql, QByteArray& out)
{
    dm.qTemp.Close();
    dm.qTemp.setSQL(sql);
    appendRows(dm.qTemp, out);
}

QList<int> column(TDM& dm, const QString& sql)
{
    QList<int> values;
    dm.qTemp.Close();
    dm.qTemp.setSQL(sql);
    dm.qTemp.Open();
    for (; !dm.qTemp.Eof(); dm.qTemp.Next())
        values << dm.qTemp.Fields(0).AsInteger();
    dm.qTemp.Close();
    return values;
}

// Logos (code 0 here) and banners.
bool IsPictureCode(int code)
{
    return code == 0 || (code >= 13 && code <= 34 && code != 23 && code != 24);
}

// A content item decoded the way its reader takes it in; a decoder's refusal
// is part of what was read.
QByteArray decodedContent(int code, const QByteArray& data)
{
    if (code == 1) {
        IconLibrary icons;
        const Status added = icons.addLibrary(data);
        return added ? icons.iconNames("ICONS.LIB").join(',').toUtf8() : added.error().toUtf8();
    }
    if (code == 2) {
        const Result<MapModel> map = readMapFile(data);
        return map ? QByteArray::number(map.value().GetCount()) : map.error().toUtf8();
    }
    if (!IsPictureCode(code))
        return {};
    QImage picture;
    return picture.loadFromData(data) ? QByteArray::number(picture.width()) : QByteArray("not a picture");
}

// Every row of every statement the program runs, every content item and logo
// decoded, as one digest.
QByteArray readEverything(TDM& dm)
{
    QByteArray out;
    appendRows(dm.qContent, out);
    for (dm.qContent.Open(); !dm.qContent.Eof(); dm.qContent.Next())
        out += decodedContent(dm.qContent.FieldByName("TypeID").AsInteger(), dm.qContent.FieldByName("Data").AsBlob());
    dm.qContent.Close();
    for (TQuery* query : {&dm.qFolders, &dm.qFirms, &dm.qFirmsStayOnTop, &dm.qRefPostIdx})
        appendRows(*query, out);
    for (dm.qFirms.Open(); !dm.qFirms.Eof(); dm.qFirms.Next())
        if (!dm.qFirms.FieldByName("Image").IsNull())
            out += decodedContent(0, dm.qFirms.FieldByName("Image").AsBlob());
    dm.qFirms.Close();

    const QList<int> folders = column(dm, "SELECT ID FROM FIRMS WHERE TypeID = 1");
    const QList<int> firms = column(dm, "SELECT ID FROM FIRMS WHERE TypeID = 2");
    const QList<int> objects = column(dm, "SELECT Obj_ID FROM FirmsAdr UNION SELECT ObjID FROM PostIdxObj");
    for (const int folder : QList<int>{0} + folders) {
        dm.qGetFolder.ParamByName("ParentID").setAsInteger(folder);
        appendRows(dm.qGetFolder, out);
        dm.qFirmsInFld.ParamByName("FoldID").setAsInteger(folder);
        appendRows(dm.qFirmsInFld, out);
        appendStatement(dm, CategoryBuildingsSql(folder), out);
    }
    QStringList favorites;
    for (const int firm : firms) {
        dm.qFirmsFold.ParamByName("FirmID").setAsInteger(firm);
        appendRows(dm.qFirmsFold, out);
        appendStatement(dm, QString("SELECT * FROM FirmsAdr WHERE ((Firm_ID = %1) and (NOT IsBanner))").arg(firm), out);
        favorites << QString::number(firm);
    }
    dm.qFirmsFavor.setSQL("SELECT * FROM FIRMS WHERE ID IN (" + favorites.join(',') + ")");
    appendRows(dm.qFirmsFavor, out);
    for (const int object : objects) {
        dm.qFirmsBld.ParamByName("Obj_ID").setAsInteger(object);
        appendRows(dm.qFirmsBld, out);
        dm.qPostIndex.ParamByName("ObjID").setAsInteger(object);
        appendRows(dm.qPostIndex, out);
        appendStatement(dm, CountFirmsSql(object), out);
    }
    for (const QString index : {"644000", "644001", "6"}) {
        dm.qFindObj.ParamByName("PostIndex").setAsString("%" + index + "%");
        appendRows(dm.qFindObj, out);
        dm.qFirmsFind.setSQL(*FirmsFindSql({.Name = "аптека", .PostIndex = index}, std::nullopt));
        appendRows(dm.qFirmsFind, out);
    }
    for (const SuggestEntry& entry : EditionEntries(dm.Con))
        out += entry.text.toUtf8() + '\n';
    for (const ExportFirm& firm : ReadExportFirms(dm.Con, std::vector<int>(firms.begin(), firms.end()), MapModel()))
        out += firm.name.toUtf8() + firm.categories.join(',').toUtf8() + '\n';
    return out;
}

// The digest of a whole reading of the edition at `path`, or the error text
// the program would show.
struct Reading {
    QByteArray digest;
    QString error;
};

Reading readEdition(const std::string& path)
{
    TDM dm;
    dm.Con.DatabaseFileName = QString::fromStdString(path);
    dm.Con.Password = MapPw[1];
    if (const Status opened = dm.Con.Open(); !opened)
        return {{}, opened.error()};
    try {
        return {QCryptographicHash::hash(readEverything(dm), QCryptographicHash::Sha256), {}};
    } catch (const EDataError& error) {
        return {{}, error.message()};
    }
}

class AlteredEdition : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        buildSmallEdition(folder.file("plain.sqlite"), folder.file("sealed.abs"));
        QFile sealed(QString::fromStdString(folder.file("sealed.abs")));
        ASSERT_TRUE(sealed.open(QIODevice::ReadOnly));
        whole = sealed.readAll();
        ASSERT_TRUE(sealed.copy(QString::fromStdString(altered())));
    }

    // Reads it all with the byte at `at` changed by `mask`; the byte is put
    // back afterwards, so the copy differs from the sealed file in one byte only.
    Reading readAltered(qsizetype at, char mask)
    {
        writeByte(at, static_cast<char>(whole[at] ^ mask));
        Reading reading = readEdition(altered());
        writeByte(at, whole[at]);
        return reading;
    }

    void writeByte(qsizetype at, char value)
    {
        QFile file(QString::fromStdString(altered()));
        file.open(QIODevice::ReadWrite);
        file.seek(at);
        file.putChar(value);
    }

    std::string altered() const { return folder.file("altered.abs"); }

    TemporaryFolder folder;
    QByteArray whole;
};

} // namespace

TEST(SmallEdition, HoldsEveryItemTheProgramReadsAndReadsWhole)
{
    TemporaryFolder folder;
    buildSmallEdition(folder.file("plain.sqlite"), folder.file("sealed.abs"));
    EXPECT_LT(QFile(QString::fromStdString(folder.file("sealed.abs"))).size(), 64 * 1024);
    TDM dm;
    dm.Con.DatabaseFileName = QString::fromStdString(folder.file("sealed.abs"));
    dm.Con.Password = MapPw[1];
    ASSERT_TRUE(dm.Con.Open());
    const QByteArray everything = readEverything(dm);
    EXPECT_TRUE(everything.contains("SIGN.BMP")) << "icons";
    EXPECT_FALSE(everything.contains("not a picture"));
    for (const char* text : {"Реестр24", "644001", "Аптека <Здоровье> & Co", "Круглосуточно"})
        EXPECT_TRUE(everything.contains(text)) << text;
}

// Each shard alters its share of the bytes with 0xFF, and every seventh of
// them also with a single low bit, the smallest change there is.
TEST_P(AlteredEdition, EveryAlteredByteIsReportedAsDamage)
{
    const Reading original = readEdition(folder.file("sealed.abs"));
    ASSERT_TRUE(original.error.isEmpty()) << original.error.toStdString();
    const QString fileName = QString::fromStdString(altered());
    int flips = 0;
    for (qsizetype at = GetParam(); at < whole.size(); at += kShards) {
        for (const char mask : {char(0xFF), char(0x01)}) {
            if (mask == 0x01 && at % 7 != 0)
                continue;
            ++flips;
            const Reading reading = readAltered(at, mask);
            ASSERT_FALSE(reading.error.isEmpty())
                << "byte " << at << " ^ " << int(static_cast<unsigned char>(mask))
                << (reading.digest == original.digest ? ": not noticed" : ": read as different data");
            ASSERT_TRUE(reading.error.contains(fileName)) << "byte " << at << ": " << reading.error.toStdString();
        }
    }
    std::cout << "[ flips    ] " << flips << " of a " << whole.size() << "-byte edition\n";
}

INSTANTIATE_TEST_SUITE_P(Shards, AlteredEdition, ::testing::Range(0, kShards));
