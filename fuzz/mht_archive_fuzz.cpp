// Feeds arbitrary bytes to the web-archive reader and unpacker: whatever
// comes in, they must give a page or a reason, never crash; and the files
// an unpacked page is written as must all lie in the parts' own folder.
#include "MhtArchive.h"

#include <cstddef>
#include <cstdint>

namespace {

const QString kPartsFolder = QStringLiteral("page_files");

bool insidePartsFolder(const QString& name)
{
    return name.startsWith(kPartsFolder + QLatin1Char('/')) && name.count(QLatin1Char('/')) == 1 &&
           !name.contains(QLatin1String(".."));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    LooksLikeWebArchive(QStringLiteral("page.html"), bytes);
    const Result<TMhtArchive> archive = ParseMhtArchive(bytes);
    if (!archive.ok()) {
        if (archive.error().isEmpty())
            __builtin_trap();
        return 0;
    }
    if (archive.value().parts.empty())
        __builtin_trap();
    const Result<TMhtPage> page = UnpackedPage(archive.value(), kPartsFolder);
    if (!page.ok())
        return 0;
    if (!page.value().html.startsWith("\xEF\xBB\xBF"))
        __builtin_trap();
    for (const TMhtFile& file : page.value().files)
        if (!insidePartsFolder(file.name))
            __builtin_trap();
    return 0;
}
