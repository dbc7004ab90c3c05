#include "IconLibrary.h"

#include "Checksum.h"
#include "IconLibraryFile_generated.h"

#include <QBuffer>
#include <QImageReader>

#include <optional>
#include <vector>

namespace {

constexpr std::uint32_t kIconFormatVersion = 1;
// Icons are small pictures; anything larger is a damaged or hostile file,
// and refusing it keeps the image decoder from allocating huge buffers.
constexpr int kLargestIconSide = 512;

QString textOf(const flatbuffers::String* text)
{
    return text ? QString::fromUtf8(text->c_str(), static_cast<int>(text->size())) : QString();
}

Status broken(const QString& reason)
{
    return Status::failure(QStringLiteral("Библиотека значков повреждена: %1").arg(reason));
}

std::optional<QImage> decodeIcon(const flatbuffers::Vector<std::uint8_t>* png)
{
    if (!png || png->size() == 0)
        return std::nullopt;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(png->data()),
                                                     static_cast<qsizetype>(png->size()));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "PNG");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kLargestIconSide || size.height() > kLargestIconSide)
        return std::nullopt;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    return image;
}

} // namespace

Status IconLibrary::AddLibFromStream(QIODevice& stream)
{
    return addLibrary(stream.readAll());
}

Status IconLibrary::addLibrary(const QByteArray& blob)
{
    const auto* data = reinterpret_cast<const std::uint8_t*>(blob.constData());
    if (blob.size() < 8 || !VarindelIconFile::IconLibraryFileBufferHasIdentifier(data))
        return Status::failure(QStringLiteral("Это не библиотека значков"));
    // A finished file is a whole number of 8 bytes (the checksum's alignment);
    // this catches a cut that removed only padding.
    if (blob.size() % 8 != 0)
        return broken(QStringLiteral("файл обрезан"));
    flatbuffers::Verifier envelopeVerifier(data, static_cast<std::size_t>(blob.size()));
    if (!VarindelIconFile::VerifyIconLibraryFileBuffer(envelopeVerifier))
        return broken(QStringLiteral("нарушена структура файла"));
    const auto* envelope = VarindelIconFile::GetIconLibraryFile(data);
    if (envelope->format_version() != kIconFormatVersion)
        return Status::failure(
            QStringLiteral("Версия библиотеки значков %1 не поддерживается").arg(envelope->format_version()));
    const auto* body = envelope->body();
    if (!body || !checksumMatches(*body, envelope->checksum()))
        return broken(QStringLiteral("не сходится контрольная сумма"));
    flatbuffers::Verifier bodyVerifier(body->data(), body->size());
    if (!bodyVerifier.VerifyBuffer<VarindelIconFile::IconLibrary>(nullptr))
        return broken(QStringLiteral("нарушена структура библиотеки"));
    const auto* file = flatbuffers::GetRoot<VarindelIconFile::IconLibrary>(body->data());
    const QString libName = textOf(file->name());
    if (libName.isEmpty() || libName.size() > kLongestLibraryName)
        return broken(QStringLiteral("неверное имя библиотеки"));

    // Everything is decoded first, so a bad icon leaves the library untouched.
    std::vector<Entry> decoded;
    if (file->icons()) {
        for (const auto* icon : *file->icons()) {
            const QString name = textOf(icon->name());
            if (name.isEmpty())
                return broken(QStringLiteral("значок без имени"));
            std::optional<QImage> image = decodeIcon(icon->png());
            if (!image)
                return broken(QStringLiteral("значок «%1» не читается").arg(name));
            decoded.push_back({name, *image});
        }
    }
    for (const Entry& entry : decoded)
        addIcon(libName, entry.name, entry.image);
    if (decoded.empty())
        libraries_[libName.toUpper()].name = libName;
    return success();
}

void IconLibrary::addIcon(const QString& libName, const QString& iconName, const QImage& image)
{
    Library& library = libraries_[libName.toUpper()];
    if (library.name.isEmpty())
        library.name = libName;
    library.icons.insert(iconName.toUpper(), Entry{iconName, image});
}

const QImage* IconLibrary::find(const QString& libName, const QString& iconName) const
{
    const auto library = libraries_.constFind(libName.toUpper());
    if (library == libraries_.cend())
        return nullptr;
    const auto icon = library->icons.constFind(iconName.toUpper());
    return icon == library->icons.cend() ? nullptr : &icon->image;
}

QStringList IconLibrary::libraries() const
{
    QStringList names;
    for (const Library& library : libraries_)
        names << library.name;
    names.sort();
    return names;
}

QStringList IconLibrary::iconNames(const QString& libName) const
{
    QStringList names;
    const auto library = libraries_.constFind(libName.toUpper());
    if (library != libraries_.cend())
        for (const Entry& entry : library->icons)
            names << entry.name;
    names.sort();
    return names;
}

QByteArray IconLibrary::save(const QString& libName) const
{
    const auto library = libraries_.constFind(libName.toUpper());
    if (library == libraries_.cend())
        return {};
    flatbuffers::FlatBufferBuilder builder;
    std::vector<flatbuffers::Offset<VarindelIconFile::Icon>> icons;
    for (const QString& name : iconNames(libName)) {
        const Entry& entry = library->icons[name.toUpper()];
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        entry.image.save(&buffer, "PNG");
        const QByteArray utf8 = entry.name.toUtf8();
        icons.push_back(VarindelIconFile::CreateIcon(
            builder, builder.CreateString(utf8.constData(), utf8.size()),
            builder.CreateVector(reinterpret_cast<const std::uint8_t*>(png.constData()), png.size())));
    }
    const QByteArray name = library->name.toUtf8();
    builder.Finish(VarindelIconFile::CreateIconLibrary(
        builder, builder.CreateString(name.constData(), name.size()), builder.CreateVector(icons)));

    flatbuffers::FlatBufferBuilder envelope(builder.GetSize() + 64);
    envelope.ForceVectorAlignment(builder.GetSize(), sizeof(std::uint8_t), 8);
    const auto body = envelope.CreateVector(builder.GetBufferPointer(), builder.GetSize());
    VarindelIconFile::FinishIconLibraryFileBuffer(
        envelope, VarindelIconFile::CreateIconLibraryFile(
                      envelope, kIconFormatVersion, contentChecksum(builder.GetBufferPointer(), builder.GetSize()),
                      body));
    return QByteArray(reinterpret_cast<const char*>(envelope.GetBufferPointer()),
                      static_cast<qsizetype>(envelope.GetSize()));
}
