#include "EditionGenerator.h"

#include "EditionSeal.h"
#include "GraphFormat.h"
#include "IconLibrary.h"
#include "MapFormat.h"
#include "Pictures.h"
#include "Vdlconsts.h"

#include "EditionDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHashSeed>

namespace {

// Purposes of the random streams of the directory's parts.
enum DirectoryStream : std::uint64_t { sFirms = 101, sLogos, sArticles, sBanners };

bool validEdition(int edition) { return edition >= 1 && edition <= kEditionCount; }

} // namespace

QByteArray MapBlob(const City& city)
{
    MapModel model;
    model.reserve(static_cast<int>(city.objects.size()));
    for (const TPMXMapObjectMem& object : city.objects)
        model.append(object);
    return writeMapFile(model);
}

QByteArray IconLibraryBlob()
{
    IconLibrary library;
    for (const QString& name : IconNames())
        library.addIcon(QStringLiteral("ICONS.LIB"), name, DrawIcon(name));
    return library.save(QStringLiteral("ICONS.LIB"));
}

EditionData GenerateEditionData(const EditionOptions& options)
{
    // Hash containers must not bring their per-run order into the output.
    QHashSeed::setDeterministicGlobalSeed();
    EditionData data;
    data.city = BuildCity({options.edition, options.seed, options.scale});
    auto stream = [&options](DirectoryStream purpose) { return Prng::stream(options.seed, options.edition, purpose); };
    Prng firmRandom = stream(sFirms);
    data.directory = BuildDirectory(data.city, options.edition, options.scale, firmRandom, options.firms);
    const AddressBook addresses(data.city);
    Prng logoRandom = stream(sLogos);
    AddLogos(data.directory, logoRandom);
    Prng articleRandom = stream(sArticles);
    AddArticles(data.directory, addresses, 40, articleRandom);
    Prng bannerRandom = stream(sBanners);
    ContentSources sources{options.edition, data.city, IconLibraryBlob(), MapBlob(data.city),
                           MakeBanners(data.directory, addresses, bannerRandom)};
    data.content = MakeContentItems(sources);
    return data;
}

Status WritePlainEdition(const EditionOptions& options, const QString& plainPath)
{
    if (!validEdition(options.edition))
        return Status::failure(QStringLiteral("Нет издания с номером %1.").arg(options.edition));
    if (!(options.scale > 0 && options.scale <= 100))
        return Status::failure(QStringLiteral("Масштаб города должен быть больше 0 и не больше 100."));
    if (options.firms < 0 || options.firms > kMaxGeneratedFirms)
        return Status::failure(QStringLiteral("Число фирм должно быть от 1 до %1.").arg(kMaxGeneratedFirms));
    const EditionData data = GenerateEditionData(options);
    Status written = WriteEditionDatabase(plainPath, {data.directory, data.city, data.content});
    if (written)
        written = saveGraphFile(buildStreetGraph(roadLinesOf(data.city.objects)), EditionGraphPath(options.edition, plainPath));
    return written;
}

QString EditionGraphPath(int edition, const QString& editionPath)
{
    return QFileInfo(editionPath).dir().filePath(QString::fromLatin1(GraphFiles[static_cast<std::size_t>(edition)]));
}

Status WriteSealedEdition(const EditionOptions& options, const QString& sealedPath)
{
    const QString plainPath = sealedPath + QStringLiteral(".plain");
    Status written = WritePlainEdition(options, plainPath);
    if (written)
        written = SealEditionFile(plainPath, sealedPath, MapPw[static_cast<std::size_t>(options.edition)]);
    QFile::remove(plainPath);
    return written;
}
