// Several programs at once on one store, and a writer killed half way: no
// write that returned is lost, and the store stays sound.
#include "Minireg.h"
#include "TestEnvironment.h"

#include <algorithm>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const std::string kKey = "Software\\Varindel TLX Company\\Processes";

std::string NumberPath(const std::string& key, std::uint32_t number) {
    return key + "\\V" + std::to_string(number);
}

// The key of one writer's own numbered values.
std::string WriterKey(const std::string& writer) {
    return kKey + "\\" + writer;
}

// The key each writer creates for one number on a path shared by all writers.
std::string SharedKey(std::uint32_t number, const std::string& writer) {
    return kKey + "\\Shared\\K" + std::to_string(number) + "\\" + writer;
}

// What SQLite itself says of the store file: "ok" for a sound one.
std::string IntegrityOf(const std::string& file) {
    sqlite3* db = nullptr;
    std::string verdict = "cannot open";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            verdict = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return verdict;
}

// Runs body in a child process that ends with body's exit code; the child
// does nothing but registry calls.
pid_t RunChild(const std::function<int()>& body) {
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body());
    return child;
}

int ExitCodeOf(pid_t child) {
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// A child writes numbered values without end and reports on the pipe each
// number whose write has returned; the parent kills it with SIGKILL.
std::uint32_t WriteUntilKilled(const std::string& key, std::uint32_t confirmationsBeforeKill,
                               useconds_t delayBeforeKill) {
    int confirmations[2];
    if (::pipe(confirmations) != 0)
        return 0;
    const pid_t child = RunChild([&] {
        ::close(confirmations[0]);
        for (std::uint32_t number = 0;; ++number) {
            if (!RegSetDWORD(HKEY_CURRENT_USER, NumberPath(key, number), number))
                return 2;
            if (::write(confirmations[1], &number, sizeof number) != sizeof number)
                return 3;
        }
    });
    ::close(confirmations[1]);
    std::uint32_t number = 0;
    std::uint32_t written = 0;
    // Let the child get going, then kill it in the middle of whatever it does.
    while (written < confirmationsBeforeKill &&
           ::read(confirmations[0], &number, sizeof number) == sizeof number)
        written = number + 1;
    ::usleep(delayBeforeKill);
    ::kill(child, SIGKILL);
    while (::read(confirmations[0], &number, sizeof number) == sizeof number)
        written = number + 1;
    ::close(confirmations[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        << "the writer ended by itself: " << status;
    return written;
}

TEST(MiniregProcesses, EveryReturnedWriteSurvivesAKilledWriter) {
    IsolatedRegistry registry;
    // Different moments of death, so that some fall inside a transaction.
    const std::vector<useconds_t> delays = {0, 1000, 3000, 7000};
    for (std::size_t round = 0; round < delays.size(); ++round) {
        const std::string key = kKey + "\\Round" + std::to_string(round);
        const std::uint32_t written = WriteUntilKilled(key, 3, delays[round]);
        EXPECT_GE(written, 3u);
        for (std::uint32_t number = 0; number < written; ++number) {
            std::uint32_t value = ~0u;
            EXPECT_TRUE(RegGetDWORD(HKEY_CURRENT_USER, NumberPath(key, number), value)) << number;
            EXPECT_EQ(value, number);
        }
        EXPECT_EQ(IntegrityOf(registry.userStore()), "ok");
    }
    // The store takes writes again after each killed writer.
    EXPECT_TRUE(RegSetString(HKEY_CURRENT_USER, kKey + "\\After", "ok"));
    EXPECT_EQ(IntegrityOf(registry.userStore()), "ok");
}

TEST(MiniregProcesses, TwoWritersAtOnceLoseNothing) {
    IsolatedRegistry registry;
    constexpr std::uint32_t kValuesPerWriter = 25;
    auto writer = [](const std::string& name) {
        return [name] {
            for (std::uint32_t number = 0; number < kValuesPerWriter; ++number) {
                if (!RegSetDWORD(HKEY_CURRENT_USER, NumberPath(WriterKey(name), number), number))
                    return 1;
                // Both also rewrite one shared value and create keys on shared paths.
                if (!RegSetString(HKEY_CURRENT_USER, kKey + "\\Shared\\Last", name) ||
                    !RegSetDWORD(HKEY_CURRENT_USER, SharedKey(number, name), 1))
                    return 2;
            }
            return 0;
        };
    };
    const pid_t first = RunChild(writer("First"));
    const pid_t second = RunChild(writer("Second"));
    EXPECT_EQ(ExitCodeOf(first), 0);
    EXPECT_EQ(ExitCodeOf(second), 0);

    for (const std::string name : {"First", "Second"}) {
        for (std::uint32_t number = 0; number < kValuesPerWriter; ++number) {
            std::uint32_t value = ~0u;
            EXPECT_TRUE(RegGetDWORD(HKEY_CURRENT_USER, NumberPath(WriterKey(name), number), value))
                << name;
            EXPECT_EQ(value, number);
            EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, SharedKey(number, name)));
        }
    }
    std::string subkeys;
    EXPECT_TRUE(RegEnumKeys(HKEY_CURRENT_USER, kKey + "\\Shared", subkeys));
    EXPECT_EQ(std::count(subkeys.begin(), subkeys.end(), '\n'), kValuesPerWriter - 1);
    std::string last;
    EXPECT_TRUE(RegGetString(HKEY_CURRENT_USER, kKey + "\\Shared\\Last", last));
    EXPECT_TRUE(last == "First" || last == "Second") << last;
    EXPECT_EQ(IntegrityOf(registry.userStore()), "ok");
}

} // namespace
