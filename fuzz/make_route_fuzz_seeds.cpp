// Writes a small valid route graph into the fuzzer's seed folder, so that
// mutations start from a file that passes every check.
#include "GraphFormat.h"

#include <QDir>
#include <QFile>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::vector<RoadLine> roads = {
        {{{0, 0}, {50, 10}, {100, 0}}, QStringLiteral("улица Ленина"), 0, eaCars | eaFoot},
        {{{100, -100}, {100, 0}, {100, 100}}, QStringLiteral("проспект Мира"), 2, eaCars | eaFoot | eaOneWay},
        {{{0, 0}, {0, 100}, {100, 100}}, QString(), 3, eaFoot},
    };
    QFile seed(QDir(QString::fromLocal8Bit(argv[1])).filePath(QStringLiteral("graph.seed")));
    if (!seed.open(QIODevice::WriteOnly))
        return 1;
    seed.write(writeGraphFile(buildStreetGraph(roads)));
    return 0;
}
