// Hostile tag values in an OpenStreetMap extract: the import keeps each text
// as the mapper wrote it or refuses the file with a clear message; it never
// crashes.
#include "OsmTestFiles.h"

#include "OsmImport.h"
#include "TestEnvironment.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

constexpr double kLon = 37.6;
constexpr double kLat = 55.75;

const QStringList& payloads()
{
    static const QStringList all = {
        "'; DROP TABLE Firms; --", "\" OR 1=1 --", "%", "_", "[", "\\", "<b>", "<a href=x>", "</td>", "&amp;",
        "<script>alert(1)</script>", "строка\r\nдругая", QString(100000, QChar(u'ж')),
    };
    return all;
}

// The value as an XML attribute that keeps its line breaks.
QString attribute(const QString& value)
{
    return value.toHtmlEscaped().replace("\r", "&#13;").replace("\n", "&#10;");
}

QString written(const TemporaryFolder& folder, const QString& xml)
{
    QString path = QString::fromStdString(folder.file("city.osm"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(xml.toUtf8());
    return path;
}

// A building and a bakery inside it, every text of both the given one.
QString cityWith(const QString& text)
{
    OsmXml xml;
    xml.rectangle(kLon, kLat, 0.0010, 0.0006, {{"building", "yes"}, {"addr:street", "☃"}, {"addr:housenumber", "☃"}});
    xml.node(kLon + 0.0005, kLat + 0.0003,
             {{"shop", "bakery"}, {"name", "☃"}, {"phone", "☃"}, {"website", "☃"}, {"email", "☃"}});
    return xml.text().replace("☃", attribute(text));
}

} // namespace

TEST(InjectedOsm, TagValuesArriveAsWritten)
{
    TemporaryFolder folder;
    for (const QString& text : payloads()) {
        const std::string name = text.left(30).toStdString();
        const Result<ImportedCity> city = ImportOsmCity(written(folder, cityWith(text)), QString());
        if (text.size() > 255) {
            // OpenStreetMap itself takes no longer value; the reader refuses it.
            ASSERT_FALSE(city) << name;
            EXPECT_TRUE(city.error().contains("city.osm")) << city.error().toStdString();
            continue;
        }
        ASSERT_TRUE(city) << name << ": " << city.error().toStdString();
        ASSERT_EQ(city.value().directory.firms.size(), 1u) << name;
        const DirectoryFirm& firm = city.value().directory.firms.front();
        EXPECT_EQ(firm.name.toStdString(), text.toStdString()) << name;
        EXPECT_EQ(firm.web.toStdString(), text.toStdString()) << name;
        const ImportedCity& imported = city.value();
        ASSERT_EQ(imported.directory.addresses.size(), 1u) << name;
        const MapModel& model = imported.map.model;
        const TPMXMapObjectMem& building = model.object(model.FindObjectID(imported.directory.addresses[0].objectId));
        EXPECT_EQ(building.Street.toStdString(), text.toStdString()) << name;
        EXPECT_EQ(building.House.toStdString(), text.toStdString()) << name;
    }
}

TEST(InjectedOsm, ANulOrBytesThatAreNoUtf8RefuseTheFileNamingIt)
{
    TemporaryFolder folder;
    for (const QByteArray& value : {QByteArray("до&#0;после"), QByteArray("\xff\xfe\xc3")}) {
        const QString path = written(folder, cityWith("☃"));
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        QByteArray xml = file.readAll().replace("☃", value);
        file.close();
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(xml);
        file.close();
        const Result<ImportedCity> city = ImportOsmCity(path, QString());
        ASSERT_FALSE(city) << value.toStdString();
        EXPECT_TRUE(city.error().contains("city.osm")) << city.error().toStdString();
    }
}
