#include "DemoEdition.h"

#include "Datamodule.h"
#include "MapEngine.h"
#include "Vdlconsts.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <filesystem>
#include <stdexcept>

QString DemoEdition(int edition, int scale, const char* overrideVariable, int firms)
{
    if (const QByteArray given = qgetenv(overrideVariable); !given.isEmpty())
        return QString::fromLocal8Bit(given);
    const QString folder = firms > 0 ? QString("scale%1-firms%2").arg(scale).arg(firms) : QString("scale%1").arg(scale);
    QString made = QString("/tmp/varindel-bench-editions/%1/%2").arg(folder, MapFiles[edition]);
    const auto tool = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "bin" /
                      "varindel-edition";
    // An edition made by an older tool (without the route graph, without
    // the indexes of today's schema) would measure yesterday's program.
    const QFileInfo cached(made);
    const QString toolPath = QString::fromStdString(tool.string());
    if (cached.exists() && QFileInfo::exists(cached.dir().filePath(GraphFiles[edition])) &&
        cached.lastModified() >= QFileInfo(toolPath).lastModified())
        return made;
    QDir().mkpath(cached.path());
    QStringList arguments{"generate", "--edition", QString::number(edition), made, "--scale", QString::number(scale)};
    if (firms > 0)
        arguments << "--firm-count" << QString::number(firms);
    const int code = QProcess::execute(toolPath, arguments);
    if (code != 0 || !QFileInfo::exists(made))
        throw std::runtime_error("the demo edition could not be generated with " + tool.string());
    return made;
}

void OpenEditionWithMap(const QString& path, TDM& dm, MapEngine& map)
{
    QDir::setCurrent(QFileInfo(path).path());
    if (const Status opened = dm.OpenEdition(2); !opened)
        throw std::runtime_error(opened.error().toStdString());
    dm.qContent.Open();
    if (!dm.qContent.Locate("TypeID", 2))
        throw std::runtime_error("the edition has no map");
    if (const Status loaded = map.LoadFromData(dm.qContent.FieldByName("Data").AsBlob()); !loaded)
        throw std::runtime_error(loaded.error().toStdString());
}
