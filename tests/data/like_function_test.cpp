// Our LIKE against SQLite's own, on two real connections: every pattern and
// text, fast shape or not, plain UTF-8 or broken, must give SQLite's answer.
#include "CaseFunctions.h"
#include "LikeFunction.h"

#include <array>
#include <cctype>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>
#include <string>
#include <variant>

namespace {

// A value bound to a statement: text (NULs allowed), an integer, a blob or NULL.
struct Blob {
    std::string bytes;
};
using Value = std::variant<std::monostate, std::string, long long, Blob>;

class Connection {
public:
    explicit Connection(bool ourLike) {
        sqlite3_open(":memory:", &db_);
        RegisterUnicodeCaseFunctions(db_);
        if (ourLike)
            RegisterLikeFunction(db_);
    }
    ~Connection() { sqlite3_close(db_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* db() const { return db_; }

    // The one value `sql` gives for ?1 and ?2, written out: "NULL", the
    // number, or "error: " and SQLite's message.
    std::string evaluate(const char* sql, const Value& first, const Value& second) const {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK)
            return "prepare failed";
        bind(statement, 1, first);
        bind(statement, 2, second);
        std::string result;
        if (sqlite3_step(statement) != SQLITE_ROW)
            result = std::string("error: ") + sqlite3_errmsg(db_);
        else if (sqlite3_column_type(statement, 0) == SQLITE_NULL)
            result = "NULL";
        else
            result = std::to_string(sqlite3_column_int64(statement, 0));
        sqlite3_finalize(statement);
        return result;
    }

private:
    static void bind(sqlite3_stmt* statement, int index, const Value& value) {
        if (const auto* text = std::get_if<std::string>(&value))
            sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()),
                              SQLITE_TRANSIENT);
        else if (const auto* number = std::get_if<long long>(&value))
            sqlite3_bind_int64(statement, index, *number);
        else if (const auto* blob = std::get_if<Blob>(&value))
            sqlite3_bind_blob(statement, index, blob->bytes.data(), static_cast<int>(blob->bytes.size()),
                              SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(statement, index);
    }

    sqlite3* db_ = nullptr;
};

// Pieces of names, wildcards, and bytes SQLite reads in its own way: stray
// and overlong bytes, a surrogate, U+FFFD and U+FFFF, a NUL.
// clang-format off
const std::array<std::string, 24> kPieces = {
    "a", "A", "z", "Q", "1", "-", " ", "%", "_",
    "а", "А", "ё", "Ё", "«",
    "\xFF", "\x80", "\xD0", "\xC2", "\xC0\x80", "\xED\xA0\x80",
    "\xEF\xBF\xBD", "\xEF\xBF\xBF", "\xF0\x9F\x98\x80", std::string(1, '\0'),
};
// clang-format on

class LikeAgainstSqlite : public ::testing::Test {
protected:
    std::string randomText(std::size_t maxPieces) {
        std::string text;
        const std::size_t count = std::uniform_int_distribution<std::size_t>(0, maxPieces)(random_);
        for (std::size_t i = 0; i < count; ++i)
            text += kPieces[std::uniform_int_distribution<std::size_t>(0, kPieces.size() - 1)(random_)];
        return text;
    }

    // "%…%" as a search writes it, with one to three % on each side.
    std::string searchPattern(const std::string& middle) {
        std::uniform_int_distribution<std::size_t> percents(1, 3);
        return std::string(percents(random_), '%') + middle + std::string(percents(random_), '%');
    }

    // The middle somewhere in the text, its ASCII letters in either case.
    std::string textAround(std::string middle) {
        for (char& c : middle)
            if (std::isalpha(static_cast<unsigned char>(c)) && random_() % 2)
                c = static_cast<char>(c ^ 0x20);
        return randomText(4) + middle + randomText(4);
    }

    void expectSame(const Value& pattern, const Value& text) {
        for (const char* sql :
             {"SELECT ?2 LIKE ?1", "SELECT UPPER(?2) LIKE UPPER(?1)", "SELECT LOWER(?2) LIKE ?1"})
            ASSERT_EQ(ours.evaluate(sql, pattern, text), sqlites.evaluate(sql, pattern, text))
                << sql << " pattern [" << printable(pattern) << "] text [" << printable(text) << "]";
    }

    static std::string printable(const Value& value) {
        const auto* text = std::get_if<std::string>(&value);
        if (!text)
            return "not text";
        std::string shown;
        for (const unsigned char c : *text)
            shown += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : "\\x" + std::to_string(c);
        return shown;
    }

    std::mt19937 random_{20261208};
    Connection ours{true};
    Connection sqlites{false};
};

} // namespace

TEST_F(LikeAgainstSqlite, SearchPatternsGiveSqlitesAnswerOnEveryKindOfText) {
    for (int round = 0; round < 20000; ++round) {
        const std::string middle = randomText(3);
        const std::string pattern = searchPattern(middle);
        expectSame(pattern, round % 2 ? textAround(middle) : randomText(round % 4 ? 8 : 32));
    }
}

TEST_F(LikeAgainstSqlite, OtherPatternsGiveSqlitesAnswer) {
    for (int round = 0; round < 5000; ++round)
        expectSame(randomText(5), randomText(8));
}

TEST_F(LikeAgainstSqlite, NamesOfADirectoryAreFoundInAnyCase) {
    expectSame(std::string("%аптека%"), std::string("Аптека «Ромашка»"));
    expectSame(std::string("%АПТЕКА%"), std::string("Сеть АПТЕКА-ПЛЮС"));
    expectSame(std::string("%tyres%"), std::string("Tyres.example"));
    expectSame(std::string("%ё%"), std::string("Ёлка"));
    EXPECT_EQ(ours.evaluate("SELECT UPPER(?2) LIKE UPPER(?1)", std::string("%аптека%"),
                            std::string("Аптека «Ромашка»")),
              "1");
    EXPECT_EQ(ours.evaluate("SELECT ?2 LIKE ?1", std::string("%tyres%"), std::string("TYRES")), "1");
    EXPECT_EQ(ours.evaluate("SELECT ?2 LIKE ?1", std::string("%ё%"), std::string("Ё")), "0");
}

// Long names are checked many bytes at a time: a byte SQLite reads in its
// own way must be caught wherever it falls in them.
TEST_F(LikeAgainstSqlite, ABrokenByteAnywhereInALongNameKeepsSqlitesAnswer) {
    const std::string name = "Аптека «Ромашка» на Ленинском проспекте, 12 к1";
    for (const std::string& broken :
         std::array<std::string, 6>{"\xFF", "\xD0", "\xC0\x80", "\xED\xA0\x80", std::string(1, '\0'), "\x80"})
        for (std::size_t at = 0; at <= name.size(); ++at) {
            const std::string text = name.substr(0, at) + broken + name.substr(at);
            expectSame(std::string("%проспекте%"), text);
            expectSame(std::string("%аптека%"), text);
        }
}

TEST_F(LikeAgainstSqlite, NullsNumbersBlobsAndTextAfterANulKeepSqlitesRules) {
    const std::array<Value, 7> values = {Value{},
                                         Value{12LL},
                                         Value{Blob{"%a%"}},
                                         Value{Blob{"a"}},
                                         Value{std::string("%1%")},
                                         Value{std::string("%b%")},
                                         Value{std::string("a") + '\0' + "b"}};
    for (const Value& pattern : values)
        for (const Value& text : values)
            expectSame(pattern, text);
}

TEST_F(LikeAgainstSqlite, APatternOverTheLimitIsRefusedAsSqliteRefusesIt) {
    sqlite3_limit(ours.db(), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 6);
    sqlite3_limit(sqlites.db(), SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 6);
    expectSame(std::string("%abcd%"), std::string("xabcdx"));
    expectSame(std::string("%abcde%"), std::string("xabcdex"));
    EXPECT_EQ(ours.evaluate("SELECT ?2 LIKE ?1", std::string("%abcde%"), std::string("x")),
              "error: LIKE or GLOB pattern too complex");
}

// The pattern worked out once is kept for the statement: a pattern that
// changes from row to row must still be matched as it is.
TEST_F(LikeAgainstSqlite, EveryRowOfAStatementIsMatchedAgainstItsOwnPattern) {
    for (Connection* connection : {&ours, &sqlites}) {
        sqlite3_exec(connection->db(),
                     "CREATE TABLE T (Pattern TEXT, Name TEXT);"
                     "INSERT INTO T VALUES ('%ab%', 'xABx'), ('%ab%', 'xAx'), ('%в%', 'ДВА'), ('%В%', 'ДВА'),"
                     " ('a%', 'ab'), (NULL, 'a');",
                     nullptr, nullptr, nullptr);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(connection->db(), "SELECT group_concat(ifnull(Name LIKE Pattern, 'N'), '') FROM T",
                           -1, &statement, nullptr);
        ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), "10011N");
        sqlite3_finalize(statement);
    }
}
