// Content items read straight from a sealed edition: a blob over many pages
// comes back whole, the first row of a type wins, text comes back as its
// UTF-8 bytes, and a null or missing item is none.
#include "ContentBlob.h"
#include "DataErrors.h"
#include "Database.h"
#include "TestEnvironment.h"
#include "TinyEdition.h"
#include "Vdlconsts.h"

#include <gtest/gtest.h>

namespace {

QByteArray patternBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((static_cast<unsigned>(i) * 7919u) >> 3);
    return bytes;
}

TEST(ContentBlob, ReadsTheFirstItemOfATypeWholeAndNoneWhereThereIsNone)
{
    TemporaryFolder folder;
    TinyEdition edition(folder.file("plain.sqlite"));
    const QByteArray map = patternBytes(3 << 20); // hundreds of the edition's pages
    edition.addContent(5, QByteArray());
    edition.addContent(2, map);
    edition.addContent(2, "a later map");
    edition.addText(9, "семь");
    edition.sealAs(folder.file("dataomk.abs"), 1);
    TDatabase database;
    database.DatabaseFileName = QString::fromStdString(folder.file("dataomk.abs"));
    database.Password = MapPw[1];
    ASSERT_TRUE(database.Open());

    EXPECT_EQ(ContentBlob(database, 2), map);
    EXPECT_EQ(ContentBlob(database, 9), QStringLiteral("семь").toUtf8());
    EXPECT_EQ(ContentBlob(database, 5), std::nullopt);
    EXPECT_EQ(ContentBlob(database, 7), std::nullopt);

    database.Close();
    EXPECT_THROW(ContentBlob(database, 2), EDatabaseError);
}

} // namespace
