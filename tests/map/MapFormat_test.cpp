// The map file: round trips, and damaged, truncated or foreign files refused
// with a reason instead of a crash or a half-loaded map.
#include "MapFormat.h"

#include "Checksum.h"
#include "MapFile_generated.h"
#include "SyntheticCity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

void expectSameObjects(const MapModel& a, const MapModel& b)
{
    ASSERT_EQ(a.GetCount(), b.GetCount());
    for (int i = 0; i < a.GetCount(); ++i)
        ASSERT_EQ(a.object(i), b.object(i)) << "object " << i;
}

TPMXMapObjectMem label(std::int32_t id)
{
    TPMXMapObjectMem object;
    object.ID = id;
    object.ObjType = otLabel;
    object.X = 10;
    object.Y = 20;
    object.DisplayParam = 20;
    object.StyleCode = 7;
    object.Zametka = TPMXMapZametka{10, 20, "ICONS.LIB", "OK.BMP"};
    return object;
}

// A file whose structure is sound, built by hand to carry one semantic fault.
QByteArray handMadeFile(std::int32_t firstId, std::int32_t secondId, std::uint32_t street, std::uint32_t version,
                        std::uint64_t checksumError = 0)
{
    using namespace VarindelMapFile;
    flatbuffers::FlatBufferBuilder builder;
    std::vector<flatbuffers::Offset<VarindelMapFile::MapObject>> objects;
    for (std::int32_t id : {firstId, secondId})
        objects.push_back(CreateMapObject(builder, id, otStop, 1, 2, true, street));
    const auto strings = builder.CreateVectorOfStrings({"", "улица Мира"});
    builder.Finish(CreateMap(builder, strings, builder.CreateVector(objects)));
    flatbuffers::FlatBufferBuilder envelope;
    const auto body = envelope.CreateVector(builder.GetBufferPointer(), builder.GetSize());
    FinishMapFileBuffer(envelope, CreateMapFile(envelope, version,
                                                contentChecksum(builder.GetBufferPointer(), builder.GetSize()) +
                                                    checksumError,
                                                body));
    return QByteArray(reinterpret_cast<const char*>(envelope.GetBufferPointer()), int(envelope.GetSize()));
}

} // namespace

TEST(MapFormat, SyntheticCityRoundTripsExactly)
{
    MapModel city = syntheticCity({300, 40, 40, 3});
    city.append(label(0));
    const QByteArray blob = writeMapFile(city);
    Result<MapModel> loaded = readMapFile(blob);
    ASSERT_TRUE(loaded.ok()) << loaded.error().toStdString();
    expectSameObjects(city, loaded.value());
    EXPECT_EQ(loaded.value().FindObjectID(city.object(17).ID), 17);
    EXPECT_EQ(writeMapFile(loaded.value()), blob);
}

TEST(MapFormat, MapsOfEverySmallSizeRoundTrip)
{
    for (int buildings = 0; buildings < 24; ++buildings) {
        const QByteArray blob = writeMapFile(syntheticCity({buildings, buildings % 5, buildings % 7, 2}));
        EXPECT_TRUE(readMapFile(blob).ok()) << buildings;
        EXPECT_EQ(blob.size() % 8, 0) << buildings;
    }
}

TEST(MapFormat, DeletedObjectsAreNotWritten)
{
    MapModel model;
    model.append(label(5));
    model.append(label(6));
    model.remove(0);
    Result<MapModel> loaded = readMapFile(writeMapFile(model));
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(loaded.value().GetCount(), 1);
    EXPECT_EQ(loaded.value().FindObjectID(6), 0);
}

TEST(MapFormat, ForeignAndEmptyBlobsAreRefused)
{
    for (const QByteArray& blob : {QByteArray(), QByteArray("VMAP"), QByteArray("GIF89a this is a picture"),
                                   QByteArray(64, '\0')}) {
        Result<MapModel> loaded = readMapFile(blob);
        EXPECT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.error(), "Это не файл карты");
    }
}

TEST(MapFormat, EveryTruncationIsRefused)
{
    const QByteArray blob = writeMapFile(syntheticCity({40, 10, 20, 1}));
    ASSERT_EQ(blob.size() % 8, 0);
    for (int length = 0; length < blob.size(); length += length + 16 < blob.size() ? 3 : 1) {
        Result<MapModel> loaded = readMapFile(blob.left(length));
        EXPECT_FALSE(loaded.ok()) << "length " << length;
        EXPECT_FALSE(loaded.error().isEmpty());
    }
}

TEST(MapFormat, CorruptedBytesNeverGiveAHalfLoadedMap)
{
    const MapModel city = syntheticCity({40, 10, 20, 1});
    const QByteArray blob = writeMapFile(city);
    std::mt19937 random(11);
    std::uniform_int_distribution<int> position(0, int(blob.size()) - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    int refused = 0;
    for (int round = 0; round < 2000; ++round) {
        QByteArray damaged = blob;
        for (int i = 0; i < 3; ++i)
            damaged[position(random)] = char(byte(random));
        Result<MapModel> loaded = readMapFile(damaged);
        if (!loaded.ok()) {
            ++refused;
            EXPECT_TRUE(loaded.error().startsWith("Файл карты повреждён") ||
                        loaded.error() == "Это не файл карты" || loaded.error().startsWith("Версия файла карты"))
                << loaded.error().toStdString();
            continue;
        }
        // What loads is the whole map unchanged: the damage hit only padding.
        for (int i = 0; i < city.GetCount(); ++i)
            ASSERT_EQ(loaded.value().object(i), city.object(i));
    }
    EXPECT_GT(refused, 1900);
}

TEST(MapFormat, MeaningIsCheckedToo)
{
    EXPECT_TRUE(readMapFile(handMadeFile(1, 2, 1, kMapFormatVersion)).ok());

    Result<MapModel> twice = readMapFile(handMadeFile(7, 7, 1, kMapFormatVersion));
    EXPECT_EQ(twice.error(), "Файл карты повреждён: неверный или повторный номер объекта 7");
    Result<MapModel> noText = readMapFile(handMadeFile(1, 2, 9, kMapFormatVersion));
    EXPECT_EQ(noText.error(), "Файл карты повреждён: неверный текст объекта 1");
    Result<MapModel> future = readMapFile(handMadeFile(1, 2, 1, kMapFormatVersion + 1));
    EXPECT_EQ(future.error(), "Версия файла карты 2 не поддерживается");
    Result<MapModel> altered = readMapFile(handMadeFile(1, 2, 1, kMapFormatVersion, 1));
    EXPECT_EQ(altered.error(), "Файл карты повреждён: не сходится контрольная сумма");

    MapModel model;
    TPMXMapObjectMem flat = label(1);
    flat.ObjType = otBuilding;
    flat.Geometry = {{0, 0}, {1, 1}};
    model.append(flat);
    EXPECT_EQ(readMapFile(writeMapFile(model)).error(), "Файл карты повреждён: неверная форма объекта 1");

    TPMXMapObjectMem lost = label(2);
    lost.X = std::nanf("");
    MapModel nowhere;
    nowhere.append(lost);
    EXPECT_EQ(readMapFile(writeMapFile(nowhere)).error(), "Файл карты повреждён: неверные координаты объекта 2");

    TPMXMapObjectMem strange = label(3);
    strange.ObjType = 42;
    MapModel unknown;
    unknown.append(strange);
    EXPECT_EQ(readMapFile(writeMapFile(unknown)).error(), "Файл карты повреждён: неизвестный тип объекта 42");
}
