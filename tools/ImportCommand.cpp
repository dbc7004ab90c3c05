#include "ImportCommand.h"

#include "ContentItems.h"
#include "DirectoryMedia.h"
#include "EditionDatabase.h"
#include "EditionGenerator.h"
#include "EditionSeal.h"
#include "GeoReference.h"
#include "GraphFormat.h"
#include "IconLibrary.h"
#include "MapFormat.h"
#include "MapStyle.h"
#include "OsmIcons.h"
#include "OsmImport.h"
#include "Pictures.h"
#include "Vdlconsts.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The purpose of the random stream the banners' artwork is drawn with.
constexpr std::uint64_t kBannerStream = 104;

struct ImportOptions {
    int edition = 1;
    std::uint64_t seed = 1;
    QString output;
    QString osm;
    QString firms;
};

bool importOptions(const ToolArguments& arguments, ImportOptions& options, QString& error)
{
    if (arguments.positional.size() != 1) {
        error = QStringLiteral("Укажите один файл издания, например dataomk.abs.");
        return false;
    }
    std::string password;
    if (!EditionPasswordOption(arguments, password, error))
        return false;
    options.edition = arguments.options.value(QStringLiteral("edition")).toInt();
    options.output = arguments.positional[0];
    options.osm = arguments.options.value(QStringLiteral("osm"));
    if (options.osm.isEmpty()) {
        error = QStringLiteral("Не указан файл OSM: --osm ГОРОД.osm.pbf.");
        return false;
    }
    options.firms = arguments.options.value(QStringLiteral("firms"));
    bool ok = true;
    if (arguments.options.contains(QStringLiteral("seed")))
        options.seed = arguments.options.value(QStringLiteral("seed")).toULongLong(&ok);
    if (!ok) {
        error = QStringLiteral("Зерно --seed должно быть целым неотрицательным числом.");
        return false;
    }
    return true;
}

City cityOf(const ImportedCity& imported)
{
    City city;
    const MapModel& model = imported.map.model;
    city.objects.reserve(static_cast<std::size_t>(model.GetCount()));
    for (int index = 0; index < model.GetCount(); ++index)
        if (!model.isDeleted(index))
            city.objects.push_back(model.object(index));
    city.postIndexes = imported.directory.postIndexes;
    for (const auto& [objectId, postIndexId] : imported.directory.postLinks)
        city.postLinks.push_back({objectId, postIndexId});
    city.extent = imported.map.cityBox;
    return city;
}

Directory directoryOf(const OsmDirectory& imported)
{
    Directory directory;
    for (const DirectoryCategory& category : imported.categories)
        directory.categories.push_back(
            {category.id, category.parentId, category.parentId == 0 ? 0 : 1, category.name, QString()});
    for (const DirectoryFirm& firm : imported.firms) {
        FirmRecord record;
        record.id = firm.id;
        record.name = firm.name;
        record.brand = firm.name;
        record.category = firm.categoryIds.front();
        record.image = firm.logo;
        record.imageName = firm.logoName;
        record.phones = firm.phones;
        record.email = firm.email;
        record.web = firm.web;
        record.bus = firm.bus;
        record.minibus = firm.minibus;
        record.note = firm.note.isEmpty() ? QString() : firm.note;
        directory.firms.push_back(std::move(record));
        for (const int categoryId : firm.categoryIds)
            directory.links.push_back({firm.id, categoryId});
    }
    for (const DirectoryAddress& address : imported.addresses)
        directory.addresses.push_back({address.id, address.objectId, address.firmId, address.office, {}, {}, {}, false});
    return directory;
}

QByteArray iconLibrary()
{
    IconLibrary library;
    for (const QString& name : IconNames())
        library.addIcon(kStandardIconLibrary, name, DrawIcon(name));
    for (const QString& name : OsmIconNames())
        library.addIcon(kStandardIconLibrary, name, DrawOsmIcon(name));
    return library.save(kStandardIconLibrary);
}

// The whole city's buildings fill a view of 1000 pixels at the start.
void fitScales(std::vector<ContentItem>& content, const QRectF& cityBox)
{
    const double size = std::max({cityBox.width(), cityBox.height(), 500.0});
    const int whole = std::max(10, static_cast<int>(std::lround(2160.0 * 1000.0 / size)));
    for (ContentItem& item : content) {
        if (item.typeId == 9)
            item.data = QByteArray::number(whole);
        else if (item.typeId == 10)
            item.data = QByteArray::number(std::max(5, static_cast<int>(std::lround(whole * 0.45))));
    }
}

std::vector<BannerItem> bannersOf(const Directory& directory, const City& city, const ImportOptions& options)
{
    if (directory.addresses.empty())
        return {};
    Prng random = Prng::stream(options.seed, options.edition, kBannerStream);
    return MakeBanners(directory, AddressBook(city), random);
}

Status writeEdition(const ImportedCity& imported, const ImportOptions& options)
{
    const City city = cityOf(imported);
    const Directory directory = directoryOf(imported.directory);
    // The map carries the attribution of its data, and shows it wherever it is drawn.
    ContentSources sources{options.edition, city, iconLibrary(), writeMapFile(imported.map.model, kOsmAttribution),
                           bannersOf(directory, city, options)};
    std::vector<ContentItem> content = MakeContentItems(sources);
    fitScales(content, imported.map.cityBox);
    // Where the map lies on the Earth, for the exports that write latitude and longitude.
    const GeoPoint centre = imported.map.projection.centre();
    content.push_back({kGeoReferenceContent, 0,
                       GeoReference({centre.lat, centre.lon}, imported.map.projection.toMap(centre)).toData()});

    // Written beside the target and moved over it only when whole, so that a
    // failure leaves nothing behind and no earlier edition damaged.
    const QString plainPath = options.output + QStringLiteral(".plain");
    const QString sealedPath = options.output + QStringLiteral(".part");
    Status written = WriteEditionDatabase(plainPath, {directory, city, content});
    if (written)
        written = SealEditionFile(plainPath, sealedPath, MapPw[static_cast<std::size_t>(options.edition)]);
    QFile::remove(plainPath);
    if (written) {
        QFile::remove(options.output);
        if (!QFile::rename(sealedPath, options.output))
            written = Status::failure(QStringLiteral("Не удалось записать файл издания «%1».").arg(options.output));
    }
    QFile::remove(sealedPath);
    if (written)
        written = saveGraphFile(buildStreetGraph(imported.map.roadLines), EditionGraphPath(options.edition, options.output));
    return written;
}

void stageLine(const QString& line) { std::fprintf(stderr, "%s\n", line.toUtf8().constData()); }

int runImport(const ToolArguments& arguments)
{
    ImportOptions options;
    QString error;
    if (!importOptions(arguments, options, error))
        return ToolFailure(error);
    QElapsedTimer timer;
    timer.start();
    Result<ImportedCity> imported = ImportOsmCity(options.osm, options.firms, stageLine);
    if (!imported)
        return ToolFailure(imported.error());
    stageLine(QStringLiteral("Запись издания…"));
    const Status written = writeEdition(imported.value(), options);
    if (!written)
        return ToolFailure(written.error());
    for (const QString& line : ImportReportLines(imported.value()))
        ToolPrint(line);
    ToolPrintWritten(options.output, timer.elapsed());
    return 0;
}

} // namespace

std::vector<ToolCommand> ImportCommands()
{
    return {
        {"import", "--edition N OUT.abs --osm ГОРОД.osm.pbf [--firms ФИРМЫ.csv] [--seed S]", runImport},
    };
}
