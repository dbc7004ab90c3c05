// How a generated edition is laid out for the program's statements: the
// content items lie smallest first (the program finds an item by stepping
// through every row before it, and a step over the map would copy its tens
// of megabytes; each item keeps its ID), and the planner has statistics, so
// that a category's firms are fetched by their IDs rather than by walking
// the whole firm list.
#include "EditionGenerator.h"
#include "TestEnvironment.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

TEST(EditionLayout, SmallItemsComeBeforeTheMapAndCategoriesAreFetchedByTheirFirmIds)
{
    TemporaryFolder folder;
    const QString path = QString::fromStdString(folder.file("plain.sqlite"));
    ASSERT_TRUE(WritePlainEdition({2, 5, 0.03, 3000}, path));
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* rows = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT ID, TypeID, length(Data) FROM Content ORDER BY rowid", -1, &rows, nullptr),
              SQLITE_OK);
    std::map<int, int> typeOfId;
    int previousLength = -1;
    int lastType = 0;
    while (sqlite3_step(rows) == SQLITE_ROW) {
        const int length = sqlite3_column_int(rows, 2);
        EXPECT_GE(length, previousLength) << "content ID " << sqlite3_column_int(rows, 0);
        previousLength = length;
        lastType = sqlite3_column_int(rows, 1);
        typeOfId[sqlite3_column_int(rows, 0)] = lastType;
    }
    sqlite3_finalize(rows);
    sqlite3_stmt* plan = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db,
                                 "EXPLAIN QUERY PLAN SELECT * FROM FIRMS WHERE ((TypeID=2)AND(ID IN (SELECT FirmID FROM "
                                 "FirmsFold WHERE (FoldID = 5)))) ORDER BY Place ASC, Name ASC",
                                 -1, &plan, nullptr),
              SQLITE_OK);
    std::string lines;
    while (sqlite3_step(plan) == SQLITE_ROW)
        lines += reinterpret_cast<const char*>(sqlite3_column_text(plan, 3)) + std::string("\n");
    sqlite3_finalize(plan);
    sqlite3_close(db);
    EXPECT_NE(lines.find("INTEGER PRIMARY KEY"), std::string::npos) << lines;
    EXPECT_EQ(lastType, 2) << "the map is the largest item";
    ASSERT_GT(typeOfId.size(), 20u);
    EXPECT_EQ(typeOfId.begin()->first, 1);
    EXPECT_EQ(typeOfId.rbegin()->first, static_cast<int>(typeOfId.size())) << "the IDs run 1, 2, 3 ... as written";
    EXPECT_EQ(typeOfId.at(2), 2) << "the map keeps the ID it had before the items were ordered";
}
