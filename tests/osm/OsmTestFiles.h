// Small OpenStreetMap files written by the tests, and the real extracts
// beside the project (../shared/osm), which the tests skip only when absent.
#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

using OsmTags = std::vector<std::pair<QString, QString>>;

// Builds an OSM XML document node by node; ids count up from 1 per kind.
class OsmXml {
public:
    long long node(double lon, double lat, const OsmTags& tags = {});
    // A way through the nodes; a closed way repeats its first node at the end.
    long long way(const std::vector<long long>& nodes, const OsmTags& tags = {});
    // A closed way around the rectangle, its corners new nodes.
    long long rectangle(double lon, double lat, double width, double height, const OsmTags& tags = {});
    // Members as ("way", id, role).
    long long relation(const std::vector<std::tuple<QString, long long, QString>>& members, const OsmTags& tags);
    // The box the extract says it was cut to.
    void bounds(double minLon, double minLat, double maxLon, double maxLat);
    QString text() const;
    // Writes the document; the path of the file.
    QString save(const QString& folder, const QString& name) const;

private:
    QString bounds_;
    QStringList nodes_, ways_, relations_;
    long long nextNode_ = 1, nextWay_ = 1, nextRelation_ = 1;
};

// The folder of the real extracts, or empty when it is absent.
QString RealExtractsFolder();
