// Loading the map from a stream: a buffer is read where it stands, as a
// stream would be read out, whether it is shared in place or copied.
#include "MapEngine.h"
#include "MapFormat.h"
#include "SyntheticCity.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

const QByteArray& cityBlob()
{
    static const QByteArray blob = writeMapFile(syntheticCity({300, 30, 20, 4}));
    return blob;
}

} // namespace

TEST(MapEngineStream, AWholeBufferLoadsTheSameMapAsItsBytesAndEndsReadOut)
{
    MapEngine fromBytes;
    ASSERT_TRUE(fromBytes.LoadFromData(cityBlob()).ok());
    QByteArray bytes = cityBlob();
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    MapEngine fromStream;
    ASSERT_TRUE(fromStream.LoadFromStream(stream).ok());
    EXPECT_TRUE(stream.atEnd());
    ASSERT_EQ(fromStream.GetCount(), fromBytes.GetCount());
    for (int i = 0; i < fromBytes.GetCount(); i += 37) {
        EXPECT_EQ(fromStream.model().object(i).ID, fromBytes.model().object(i).ID);
        EXPECT_EQ(fromStream.model().object(i).Geometry.size(), fromBytes.model().object(i).Geometry.size());
    }
}

TEST(MapEngineStream, ABufferAlreadyReadFromLoadsWhatFollows)
{
    QByteArray bytes = "xyz" + cityBlob();
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    stream.read(3);
    MapEngine engine;
    ASSERT_TRUE(engine.LoadFromStream(stream).ok());
    EXPECT_GT(engine.GetCount(), 300);

    QBuffer closed(&bytes);
    EXPECT_FALSE(engine.LoadFromStream(closed).ok()) << "a buffer not open for reading gives no map";
    EXPECT_GT(engine.GetCount(), 300) << "and leaves the loaded one in place";
}
