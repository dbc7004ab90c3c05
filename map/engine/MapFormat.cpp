#include "MapFormat.h"

#include "Checksum.h"
#include "IconLibrary.h"
#include "MapFile_generated.h"

#include <QHash>

#include <cmath>
#include <unordered_set>
#include <vector>

namespace {

// Coordinates are metres from the map's origin; anything beyond a thousand
// kilometres is no city.
constexpr float kFarthestCoordinate = 1e6f;
constexpr int kHighestBuilding = 500;
constexpr qsizetype kFileAlignment = 8;

QString brokenMap(const QString& reason)
{
    return QStringLiteral("Файл карты повреждён: %1").arg(reason);
}

bool isSaneCoordinate(float value) { return std::isfinite(value) && std::abs(value) <= kFarthestCoordinate; }

std::size_t fewestPoints(std::int32_t type)
{
    if (IsAreaType(type))
        return 3;
    if (IsLineType(type))
        return 2;
    return 0;
}

class ObjectReader {
public:
    explicit ObjectReader(const std::vector<QString>& strings) : strings_(strings) {}

    // Fills object from record, or gives the reason it cannot be read.
    QString read(const VarindelMapFile::MapObject& record, TPMXMapObjectMem& object)
    {
        object.ID = record.id();
        if (object.ID <= 0 || !ids_.insert(object.ID).second)
            return QStringLiteral("неверный или повторный номер объекта %1").arg(object.ID);
        object.ObjType = record.type();
        if (object.ObjType < otBuilding || object.ObjType > otLabel)
            return QStringLiteral("неизвестный тип объекта %1").arg(object.ObjType);
        object.X = record.x();
        object.Y = record.y();
        if (!isSaneCoordinate(object.X) || !isSaneCoordinate(object.Y))
            return QStringLiteral("неверные координаты объекта %1").arg(object.ID);
        object.HasAddress = record.has_address();
        object.DisplayParam = record.display_param();
        object.StyleCode = record.style_code();
        object.Floors = record.floors();
        if (object.Floors < 0 || object.Floors > kHighestBuilding)
            return QStringLiteral("неверная этажность объекта %1").arg(object.ID);
        if (!text(record.street(), object.Street) || !text(record.house(), object.House) ||
            !text(record.name(), object.Name) || object.House.size() > kLongestHouse)
            return QStringLiteral("неверный текст объекта %1").arg(object.ID);
        if (!readGeometry(record, object))
            return QStringLiteral("неверная форма объекта %1").arg(object.ID);
        if (const auto* zametka = record.zametka()) {
            TPMXMapZametka detail{zametka->x(), zametka->y(), {}, {}};
            if (!isSaneCoordinate(detail.X) || !isSaneCoordinate(detail.Y) ||
                !text(zametka->lib_name(), detail.LibName) || !text(zametka->icon_name(), detail.IconName) ||
                detail.LibName.size() > kLongestLibraryName)
                return QStringLiteral("неверная заметка объекта %1").arg(object.ID);
            object.Zametka = std::move(detail);
        }
        return {};
    }

private:
    bool text(std::uint32_t position, QString& target) const
    {
        if (position >= strings_.size())
            return position == 0;
        target = strings_[position];
        return true;
    }

    static bool readGeometry(const VarindelMapFile::MapObject& record, TPMXMapObjectMem& object)
    {
        const auto* points = record.geometry();
        const std::size_t count = points ? points->size() : 0;
        const std::size_t fewest = fewestPoints(object.ObjType);
        if (fewest == 0 ? count != 0 : count < fewest)
            return false;
        object.Geometry.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const VarindelMapFile::Point* point = points->Get(static_cast<flatbuffers::uoffset_t>(i));
            if (!isSaneCoordinate(point->x()) || !isSaneCoordinate(point->y()))
                return false;
            object.Geometry[i] = {point->x(), point->y()};
        }
        return true;
    }

    const std::vector<QString>& strings_;
    std::unordered_set<std::int32_t> ids_;
};

// Collects every text once; position 0 is the empty text.
class StringPool {
public:
    StringPool() { add(QString()); }
    std::uint32_t add(const QString& text)
    {
        const auto found = positions_.constFind(text);
        if (found != positions_.cend())
            return found.value();
        const auto position = static_cast<std::uint32_t>(texts_.size());
        positions_.insert(text, position);
        texts_.push_back(text);
        return position;
    }
    flatbuffers::Offset<flatbuffers::Vector<flatbuffers::Offset<flatbuffers::String>>>
    write(flatbuffers::FlatBufferBuilder& builder) const
    {
        std::vector<flatbuffers::Offset<flatbuffers::String>> offsets;
        offsets.reserve(texts_.size());
        for (const QString& text : texts_) {
            const QByteArray utf8 = text.toUtf8();
            offsets.push_back(builder.CreateString(utf8.constData(), static_cast<std::size_t>(utf8.size())));
        }
        return builder.CreateVector(offsets);
    }

private:
    QHash<QString, std::uint32_t> positions_;
    std::vector<QString> texts_;
};


// The body of a sound envelope, or the reason there is none.
Result<const VarindelMapFile::Map*> openEnvelope(const QByteArray& blob)
{
    using Opened = Result<const VarindelMapFile::Map*>;
    const auto* data = reinterpret_cast<const std::uint8_t*>(blob.constData());
    if (blob.size() < 8 || !VarindelMapFile::MapFileBufferHasIdentifier(data))
        return Opened::failure(QStringLiteral("Это не файл карты"));
    // A finished file is a whole number of its widest alignment (8 bytes, the
    // checksum's); only padding lies outside what the checks below cover, so a
    // file cut short by a few bytes shows here.
    if (blob.size() % kFileAlignment != 0)
        return Opened::failure(brokenMap(QStringLiteral("файл обрезан")));
    flatbuffers::Verifier envelopeVerifier(data, static_cast<std::size_t>(blob.size()));
    if (!VarindelMapFile::VerifyMapFileBuffer(envelopeVerifier))
        return Opened::failure(brokenMap(QStringLiteral("нарушена структура файла")));
    const auto* envelope = VarindelMapFile::GetMapFile(data);
    if (envelope->format_version() != kMapFormatVersion)
        return Opened::failure(
            QStringLiteral("Версия файла карты %1 не поддерживается").arg(envelope->format_version()));
    const auto* body = envelope->body();
    if (!body || !checksumMatches(*body, envelope->checksum()))
        return Opened::failure(brokenMap(QStringLiteral("не сходится контрольная сумма")));
    // Depth and table limits well above what a city needs, below what would
    // let a hostile file make the verifier itself expensive.
    flatbuffers::Verifier bodyVerifier(body->data(), body->size(), 16, 50'000'000);
    if (!bodyVerifier.VerifyBuffer<VarindelMapFile::Map>(nullptr))
        return Opened::failure(brokenMap(QStringLiteral("нарушена структура карты")));
    return flatbuffers::GetRoot<VarindelMapFile::Map>(body->data());
}

} // namespace

Result<MapModel> readMapFile(const QByteArray& blob, QString* attribution)
{
    Result<const VarindelMapFile::Map*> opened = openEnvelope(blob);
    if (!opened)
        return Result<MapModel>::failure(opened.error());
    const VarindelMapFile::Map* file = opened.value();

    std::vector<QString> strings;
    if (const auto* pool = file->strings()) {
        strings.reserve(pool->size());
        for (const auto* text : *pool)
            strings.push_back(QString::fromUtf8(text->c_str(), static_cast<qsizetype>(text->size())));
    }
    std::vector<TPMXMapObjectMem> objects;
    if (const auto* records = file->objects()) {
        objects.reserve(MapModel::roomFor(records->size()));
        objects.resize(records->size());
        ObjectReader reader(strings);
        for (flatbuffers::uoffset_t i = 0; i < records->size(); ++i) {
            const QString reason = reader.read(*records->Get(i), objects[i]);
            if (!reason.isEmpty())
                return Result<MapModel>::failure(brokenMap(reason));
        }
    }
    if (attribution) {
        attribution->clear();
        if (file->attribution() >= strings.size())
            return Result<MapModel>::failure(brokenMap(QStringLiteral("неверная строка источника данных")));
        *attribution = strings[file->attribution()];
    }
    MapModel model;
    model.assign(std::move(objects));
    return model;
}

QByteArray writeMapFile(const MapModel& model, const QString& attribution)
{
    flatbuffers::FlatBufferBuilder builder(1 << 20);
    StringPool pool;
    std::vector<flatbuffers::Offset<VarindelMapFile::MapObject>> records;
    records.reserve(static_cast<std::size_t>(model.GetCount()));
    std::vector<VarindelMapFile::Point> points;
    for (int i = 0; i < model.GetCount(); ++i) {
        if (model.isDeleted(i))
            continue;
        const TPMXMapObjectMem& object = model.object(i);
        points.clear();
        for (const MapPoint& p : object.Geometry)
            points.emplace_back(p.x, p.y);
        const auto geometry = points.empty() ? 0 : builder.CreateVectorOfStructs(points);
        flatbuffers::Offset<VarindelMapFile::Zametka> zametka = 0;
        if (object.Zametka)
            zametka = VarindelMapFile::CreateZametka(builder, object.Zametka->X, object.Zametka->Y,
                                                     pool.add(object.Zametka->LibName),
                                                     pool.add(object.Zametka->IconName));
        records.push_back(VarindelMapFile::CreateMapObject(
            builder, object.ID, object.ObjType, object.X, object.Y, object.HasAddress,
            pool.add(object.Street), pool.add(object.House), pool.add(object.Name), object.DisplayParam,
            object.StyleCode, object.Floors, geometry, zametka));
    }
    const auto objects = builder.CreateVector(records);
    const std::uint32_t source = pool.add(attribution);
    const auto strings = pool.write(builder);
    builder.Finish(VarindelMapFile::CreateMap(builder, strings, objects, source));

    flatbuffers::FlatBufferBuilder envelope(builder.GetSize() + 64);
    // The body is a buffer of its own: keep it aligned as one.
    envelope.ForceVectorAlignment(builder.GetSize(), sizeof(std::uint8_t), 8);
    const auto body = envelope.CreateVector(builder.GetBufferPointer(), builder.GetSize());
    VarindelMapFile::FinishMapFileBuffer(
        envelope,
        VarindelMapFile::CreateMapFile(envelope, kMapFormatVersion,
                                       contentChecksum(builder.GetBufferPointer(), builder.GetSize()), body));
    return QByteArray(reinterpret_cast<const char*>(envelope.GetBufferPointer()),
                      static_cast<qsizetype>(envelope.GetSize()));
}
