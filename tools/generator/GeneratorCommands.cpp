#include "GeneratorCommands.h"

#include "EditionGenerator.h"

#include "DataErrors.h"
#include "Database.h"
#include "MapFormat.h"
#include "OsmWriter.h"
#include "Query.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>

namespace {

bool editionNumber(const ToolArguments& arguments, int& edition, QString& error)
{
    std::string password;
    if (!EditionPasswordOption(arguments, password, error))
        return false;
    edition = arguments.options.value(QStringLiteral("edition")).toInt();
    return true;
}

bool generateOptions(const ToolArguments& arguments, EditionOptions& options, QString& error)
{
    if (arguments.positional.size() != 1) {
        error = QStringLiteral("Укажите один файл издания, например dataomk.abs.");
        return false;
    }
    if (!editionNumber(arguments, options.edition, error))
        return false;
    bool ok = true;
    if (arguments.options.contains(QStringLiteral("seed")))
        options.seed = arguments.options.value(QStringLiteral("seed")).toULongLong(&ok);
    if (!ok) {
        error = QStringLiteral("Зерно --seed должно быть целым неотрицательным числом.");
        return false;
    }
    if (arguments.options.contains(QStringLiteral("scale")))
        options.scale = arguments.options.value(QStringLiteral("scale")).toDouble(&ok);
    if (!ok || !(options.scale > 0 && options.scale <= 100)) {
        error = QStringLiteral("Масштаб --scale должен быть числом больше 0 и не больше 100.");
        return false;
    }
    if (arguments.options.contains(QStringLiteral("firm-count"))) {
        options.firms = arguments.options.value(QStringLiteral("firm-count")).toInt(&ok);
        if (!ok || options.firms < 1 || options.firms > kMaxGeneratedFirms) {
            error = QStringLiteral("Число фирм --firm-count должно быть целым числом от 1 до %1.").arg(kMaxGeneratedFirms);
            return false;
        }
    }
    return true;
}

// The generated city as an OpenStreetMap file, for importing it as a real
// one; placed where the demo cities would lie on the globe.
Status writeGeneratedOsm(const EditionOptions& options, const QString& path)
{
    const EditionData data = GenerateEditionData(options);
    MapModel map;
    map.assign(data.city.objects);
    QHash<int, const FirmRecord*> byId;
    for (const FirmRecord& firm : data.directory.firms)
        byId.insert(firm.id, &firm);
    std::vector<OsmFirmPoint> firms;
    QSet<int> placed;
    for (const FirmAddress& address : data.directory.addresses) {
        const int position = map.FindObjectID(address.objectId);
        if (position < 0 || placed.contains(address.firmId))
            continue;
        placed.insert(address.firmId);
        const FirmRecord* firm = byId.value(address.firmId);
        firms.push_back({{map.object(position).X, map.object(position).Y}, firm->name, firm->phones});
    }
    const GeoPoint centre = options.edition == 2 ? GeoPoint{92.87, 56.01} : GeoPoint{73.37, 54.98};
    return WriteOsmFile(path, map, firms, centre);
}

int runGenerate(const ToolArguments& arguments)
{
    EditionOptions options;
    QString error;
    if (!generateOptions(arguments, options, error))
        return ToolFailure(error);
    QElapsedTimer timer;
    timer.start();
    const QString path = arguments.positional[0];
    Status written = WriteSealedEdition(options, path);
    if (written && arguments.options.contains(QStringLiteral("osm")))
        written = writeGeneratedOsm(options, arguments.options.value(QStringLiteral("osm")));
    if (!written)
        return ToolFailure(written.error());
    ToolPrintWritten(path, timer.elapsed());
    return 0;
}

// The city map of an opened edition (content item 2).
Result<MapModel> editionMap(TDatabase& database)
{
    TQuery content(database, QStringLiteral("qContent"), QStringLiteral("select * from Content"));
    content.Open();
    if (!content.Locate(QStringLiteral("TypeID"), 2) || content.FieldByName(QStringLiteral("Data")).IsNull())
        return Result<MapModel>::failure(QStringLiteral("В издании нет карты."));
    return readMapFile(content.FieldByName(QStringLiteral("Data")).AsBlob());
}

QString clean(QString text)
{
    return text.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
}

int runObjects(const ToolArguments& arguments)
{
    std::string password;
    QString error;
    if (arguments.positional.size() != 1)
        return ToolFailure(QStringLiteral("Укажите один файл издания."));
    if (!EditionPasswordOption(arguments, password, error))
        return ToolFailure(error);
    TDatabase database;
    database.DatabaseFileName = arguments.positional[0];
    database.Password = password;
    const Status opened = database.Open();
    if (!opened)
        return ToolFailure(opened.error());
    try {
        const Result<MapModel> map = editionMap(database);
        if (!map)
            return ToolFailure(map.error());
        ToolPrint(QStringLiteral("ID\tType\tX\tY\tHasAddress\tStreet\tHouse"));
        const MapModel& model = map.value();
        for (int index = 0; index < model.GetCount(); ++index) {
            if (model.isDeleted(index))
                continue;
            const TPMXMapObjectMem& object = model.object(index);
            ToolPrint(QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7")
                          .arg(object.ID)
                          .arg(object.ObjType)
                          .arg(static_cast<double>(object.X), 0, 'f', 1)
                          .arg(static_cast<double>(object.Y), 0, 'f', 1)
                          .arg(object.HasAddress ? 1 : 0)
                          .arg(clean(object.Street), clean(object.House)));
        }
    } catch (const EDataError& failure) {
        return ToolFailure(failure.message());
    }
    return 0;
}

} // namespace

std::vector<ToolCommand> GeneratorCommands()
{
    return {
        {"generate", "--edition N OUT.abs [--seed S] [--scale K] [--firm-count N] [--osm ГОРОД.osm.pbf]", runGenerate},
        {"objects", "FILE.abs --edition N", runObjects},
    };
}
