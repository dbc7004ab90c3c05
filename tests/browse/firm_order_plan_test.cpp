// The statements that list firms "ORDER BY Place ASC, Name ASC" are answered
// in that order from the edition's index, not by sorting whole firm rows
// (logos and articles included), which on a directory of a hundred thousand
// firms took seconds and hundreds of megabytes. The statements themselves
// are the program's own, read from where the program keeps them.
#include "Datamodule.h"
#include "EditionSchema.h"
#include "SearchQuery.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace {

class FirmOrderPlan : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        ASSERT_EQ(CreateEditionSchema(db_), QString());
    }
    void TearDown() override { sqlite3_close(db_); }

    // The lines of EXPLAIN QUERY PLAN, joined.
    std::string plan(const QString& sql) const
    {
        sqlite3_stmt* statement = nullptr;
        const QByteArray text = ("EXPLAIN QUERY PLAN " + sql).toUtf8();
        EXPECT_EQ(sqlite3_prepare_v2(db_, text.constData(), -1, &statement, nullptr), SQLITE_OK) << text.constData();
        std::string lines;
        while (statement && sqlite3_step(statement) == SQLITE_ROW)
            lines += reinterpret_cast<const char*>(sqlite3_column_text(statement, 3)) + std::string("\n");
        sqlite3_finalize(statement);
        return lines;
    }

    void expectReadInOrderFromTheIndex(const QString& sql, const std::string& index = "FirmsByPlace") const
    {
        const std::string lines = plan(sql);
        EXPECT_NE(lines.find("USING INDEX " + index), std::string::npos) << sql.toStdString() << "\n" << lines;
        EXPECT_EQ(lines.find("TEMP B-TREE FOR ORDER BY"), std::string::npos) << sql.toStdString() << "\n" << lines;
    }

    sqlite3* db_ = nullptr;
};

TEST_F(FirmOrderPlan, TheFirmListsOfTheDataModuleAreReadInOrder)
{
    TDM dm;
    expectReadInOrderFromTheIndex(dm.qFirms.SQL());
}

// The few firms shown above every list come from an index of their own:
// through the firm index every firm row would be read to its flag.
TEST_F(FirmOrderPlan, TheFirmsShownAlwaysAreFoundInOrderWithoutReadingEveryFirm)
{
    TDM dm;
    expectReadInOrderFromTheIndex(dm.qFirmsStayOnTop.SQL(), "FirmsShownAlways (ShowAlways=?)");
}

TEST_F(FirmOrderPlan, TheSearchesAreReadInOrder)
{
    expectReadInOrderFromTheIndex(*FirmsFindSql({.Name = "аптека"}, std::nullopt));
    expectReadInOrderFromTheIndex(*FirmsFindSql({.Web = "example"}, std::nullopt));
    expectReadInOrderFromTheIndex(*FirmsFindSql({.Name = "аптека"}, QString("(120,121,388)")));
}

// A name search compares the upper-case names the firm index keeps:
// changing the case of every firm's name is left to the one pattern.
TEST_F(FirmOrderPlan, TheNameSearchReadsUpperCaseNamesFromTheIndex)
{
    const QByteArray text = ("EXPLAIN " + *FirmsFindSql({.Name = "аптека"}, std::nullopt)).toUtf8();
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db_, text.constData(), -1, &statement, nullptr), SQLITE_OK);
    int caseChanges = 0;
    while (sqlite3_step(statement) == SQLITE_ROW)
        caseChanges += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 5)))
                           .startsWith("upper(", Qt::CaseInsensitive);
    sqlite3_finalize(statement);
    EXPECT_EQ(caseChanges, 1);
}

} // namespace
