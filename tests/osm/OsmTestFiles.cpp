#include "OsmTestFiles.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString tagLines(const OsmTags& tags)
{
    QString lines;
    for (const auto& [key, value] : tags)
        lines += QStringLiteral("    <tag k=\"%1\" v=\"%2\"/>\n").arg(key.toHtmlEscaped(), value.toHtmlEscaped());
    return lines;
}

} // namespace

long long OsmXml::node(double lon, double lat, const OsmTags& tags)
{
    const long long id = nextNode_++;
    nodes_.append(QStringLiteral("  <node id=\"%1\" version=\"1\" lat=\"%2\" lon=\"%3\">\n%4  </node>\n")
                      .arg(id)
                      .arg(lat, 0, 'f', 7)
                      .arg(lon, 0, 'f', 7)
                      .arg(tagLines(tags)));
    return id;
}

long long OsmXml::way(const std::vector<long long>& nodes, const OsmTags& tags)
{
    const long long id = nextWay_++;
    QString refs;
    for (const long long node : nodes)
        refs += QStringLiteral("    <nd ref=\"%1\"/>\n").arg(node);
    ways_.append(QStringLiteral("  <way id=\"%1\" version=\"1\">\n%2%3  </way>\n").arg(id).arg(refs, tagLines(tags)));
    return id;
}

long long OsmXml::rectangle(double lon, double lat, double width, double height, const OsmTags& tags)
{
    const long long a = node(lon, lat), b = node(lon + width, lat), c = node(lon + width, lat + height),
                    d = node(lon, lat + height);
    return way({a, b, c, d, a}, tags);
}

long long OsmXml::relation(const std::vector<std::tuple<QString, long long, QString>>& members, const OsmTags& tags)
{
    const long long id = nextRelation_++;
    QString lines;
    for (const auto& [type, ref, role] : members)
        lines += QStringLiteral("    <member type=\"%1\" ref=\"%2\" role=\"%3\"/>\n").arg(type).arg(ref).arg(role);
    relations_.append(
        QStringLiteral("  <relation id=\"%1\" version=\"1\">\n%2%3  </relation>\n").arg(id).arg(lines, tagLines(tags)));
    return id;
}

void OsmXml::bounds(double minLon, double minLat, double maxLon, double maxLat)
{
    bounds_ = QStringLiteral("  <bounds minlat=\"%1\" minlon=\"%2\" maxlat=\"%3\" maxlon=\"%4\"/>\n")
                  .arg(minLat, 0, 'f', 7)
                  .arg(minLon, 0, 'f', 7)
                  .arg(maxLat, 0, 'f', 7)
                  .arg(maxLon, 0, 'f', 7);
}

QString OsmXml::text() const
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<osm version=\"0.6\" generator=\"test\">\n") +
           bounds_ + nodes_.join(QString()) + ways_.join(QString()) + relations_.join(QString()) + QStringLiteral("</osm>\n");
}

QString OsmXml::save(const QString& folder, const QString& name) const
{
    QString path = QDir(folder).filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    const QByteArray bytes = text().toUtf8();
    EXPECT_EQ(file.write(bytes), bytes.size()) << path.toStdString();
    return path;
}

QString RealExtractsFolder()
{
    // The project's folder is two above the tests' data folder; the extracts
    // lie beside the project.
    const QDir folder(QDir::cleanPath(QStringLiteral(VARINDEL_TEST_DATA_DIR "/../../../shared/osm")));
    return folder.exists() ? folder.canonicalPath() : QString();
}
