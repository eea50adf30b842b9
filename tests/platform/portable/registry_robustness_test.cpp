// The hive database under damage and contention: a file it cannot use is never changed,
// other processes' writes are read whole, and a killed writer leaves a readable store.
#include "platform/registry.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace nimbrel::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string DatabaseOf(const test::TempEnvironment& environment) {
    return environment.Root() + "/registry.sqlite3";
}

// A value that proves itself whole: writer, sequence number, and a body derived from both.
Bytes Stamp(int writer, int sequence, std::size_t size) {
    const std::string head = std::to_string(writer) + ":" + std::to_string(sequence) + ":";
    Bytes data(head.begin(), head.end());
    for (std::size_t i = data.size(); i < size; ++i)
        data.push_back(static_cast<std::uint8_t>((writer * 131 + sequence * 7 + i) & 0xFF));
    return data;
}

// The writer and sequence of a whole stamp, or nothing for a torn or foreign one.
std::optional<std::pair<int, int>> ReadStamp(const Bytes& data, std::size_t size) {
    const std::string text(data.begin(), data.end());
    int writer = -1, sequence = -1;
    if (std::sscanf(text.c_str(), "%d:%d:", &writer, &sequence) != 2)
        return std::nullopt;
    if (data != Stamp(writer, sequence, size))
        return std::nullopt;
    return std::make_pair(writer, sequence);
}

// Runs `body` in a child process; answers its pid.
template <class Body> pid_t Spawn(Body body) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    return pid;
}

int ExitCodeOf(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::string FileBytes(const std::string& path) {
    return test::HostFileBytes(path);
}

TEST(RegistryRobustness, AnUnusableDatabaseFailsAndIsLeftAsItIs) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"text", std::string(3000, 'x')},
        {"truncated header", std::string("SQLite format 3\0\x10\0\x01\x01", 20)},
        {"zeroed pages", std::string("SQLite format 3", 16) + std::string(8192, '\0')},
        {"empty", std::string()}, // a store is never empty: a cut file
    };
    for (const auto& c : cases) {
        test::TempEnvironment environment;
        std::ofstream(DatabaseOf(environment), std::ios::binary) << c.bytes;
        RegKey key;
        EXPECT_NE(key.Create(Hive::CurrentUser, "Software\\X"), ErrorSuccess) << c.name;
        EXPECT_NE(key.Open(Hive::CurrentUser, "Software\\X"), ErrorSuccess) << c.name;
        const std::uint8_t one = 1;
        EXPECT_NE(key.SetValue("v", RegBinary, &one, 1), ErrorSuccess) << c.name;
        EXPECT_EQ(FileBytes(DatabaseOf(environment)), c.bytes) << c.name;
    }
}

TEST(RegistryRobustness, DamagedPagesGiveErrorsAndTheFileStays) {
    test::TempEnvironment environment;
    // Filled by another process, so this one holds no cached pages of it.
    const pid_t filler = Spawn([] {
        RegKey key;
        if (key.Create(Hive::CurrentUser, "Software\\Big"))
            return 10;
        const Bytes block(1500, 0x5A);
        for (int i = 0; i < 200; ++i)
            if (key.SetValue("v" + std::to_string(i), RegBinary, block.data(), block.size()))
                return 11;
        return 0;
    });
    ASSERT_EQ(ExitCodeOf(filler), 0);
    // Everything into the main file, then its middle damaged as a bad disk would.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(DatabaseOf(environment).c_str(), &db), SQLITE_OK);
    sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    std::string bytes = FileBytes(DatabaseOf(environment));
    ASSERT_GT(bytes.size(), 100000u);
    std::fill(bytes.begin() + 8192, bytes.end() - 4096, '\xAA');
    std::ofstream(DatabaseOf(environment), std::ios::binary | std::ios::trunc) << bytes;

    RegKey key;
    std::vector<std::pair<std::string, RegValue>> values;
    const bool opened = key.Open(Hive::CurrentUser, "Software\\Big") == ErrorSuccess;
    EXPECT_FALSE(opened && key.EnumValues(values) == ErrorSuccess);
    const std::uint8_t one = 1;
    EXPECT_NE(key.SetValue("new", RegBinary, &one, 1), ErrorSuccess);
    EXPECT_EQ(FileBytes(DatabaseOf(environment)), bytes);
}

TEST(RegistryRobustness, AFolderInPlaceOfTheDatabaseGivesErrors) {
    test::TempEnvironment environment;
    std::filesystem::create_directory(DatabaseOf(environment));
    RegKey key;
    EXPECT_NE(key.Create(Hive::CurrentUser, "Software\\X"), ErrorSuccess);
    EXPECT_TRUE(std::filesystem::is_directory(DatabaseOf(environment)));
}

TEST(RegistryRobustness, ALockedDatabaseRefusesWritesAsWriteErrors) {
    test::TempEnvironment environment;
    RegKey key;
    ASSERT_EQ(key.Create(Hive::CurrentUser, "Software\\Locked"), ErrorSuccess);
    const std::uint8_t before = 1;
    ASSERT_EQ(key.SetValue("v", RegBinary, &before, 1), ErrorSuccess);

    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(DatabaseOf(environment).c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const std::uint8_t during = 2;
    const WinError refused = key.SetValue("v", RegBinary, &during, 1);
    EXPECT_EQ(refused, ErrorCantWrite);
    RegValue value;
    if (key.QueryValue("v", value) == ErrorSuccess) {
        EXPECT_EQ(value.data, Bytes{1});
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    EXPECT_EQ(key.SetValue("v", RegBinary, &during, 1), ErrorSuccess);
    ASSERT_EQ(key.QueryValue("v", value), ErrorSuccess);
    EXPECT_EQ(value.data, Bytes{2});
}

// Another program writes a new store beside the old one and renames it into place: a
// long-running reader sees the new one from its next key on, as a new process would.
TEST(RegistryRobustness, AStoreReplacedByANewFileIsReadAnew) {
    test::TempEnvironment environment;
    const std::string replacement = environment.Root() + "/replacement.sqlite3";
    auto read = [] {
        RegKey key;
        RegValue value;
        if (key.Create(Hive::CurrentUser, "Software\\Swap") != ErrorSuccess ||
            key.QueryValue("v", value) != ErrorSuccess)
            return Bytes{};
        return value.data;
    };
    {
        RegKey key;
        ASSERT_EQ(key.Create(Hive::CurrentUser, "Software\\Swap"), ErrorSuccess);
        const std::uint8_t theirs = 2, ours = 1;
        ASSERT_EQ(key.SetValue("v", RegBinary, &theirs, 1), ErrorSuccess);
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(DatabaseOf(environment).c_str(), &other), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(other, ("VACUUM INTO '" + replacement + "'").c_str(), nullptr,
                               nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(other);
        ASSERT_EQ(key.SetValue("v", RegBinary, &ours, 1), ErrorSuccess);
    }
    ASSERT_EQ(read(), Bytes{1});
    ASSERT_EQ(std::rename(replacement.c_str(), DatabaseOf(environment).c_str()), 0);
    EXPECT_EQ(read(), Bytes{2});
    // Deleted and made again by the next write: a store of its own, not the deleted one.
    ASSERT_EQ(std::remove(DatabaseOf(environment).c_str()), 0);
    EXPECT_EQ(read(), Bytes{});
}

TEST(RegistryRobustness, TwoWritersAndAReaderSeeOnlyWholeValues) {
    test::TempEnvironment environment;
    constexpr int Writes = 1000;
    constexpr std::size_t Size = 700;
    const std::string keyPath = "Software\\Race";
    auto writer = [&keyPath](int id) {
        return [&keyPath, id] {
            RegKey key;
            if (key.Create(Hive::CurrentUser, keyPath) != ErrorSuccess)
                return 10;
            for (int n = 0; n < Writes; ++n) {
                const Bytes shared = Stamp(id, n, Size);
                if (key.SetValue("Shared", RegBinary, shared.data(), shared.size()))
                    return 11;
                const Bytes own = Stamp(id, n, Size);
                if (key.SetValue("Own" + std::to_string(id), RegBinary, own.data(), own.size()))
                    return 12;
            }
            return 0;
        };
    };
    const pid_t first = Spawn(writer(0));
    const pid_t second = Spawn(writer(1));

    RegKey reader;
    while (reader.Open(Hive::CurrentUser, keyPath) != ErrorSuccess)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    int torn = 0, reads = 0, backwards = 0;
    int lastOwn[2] = {-1, -1};
    bool running = true;
    while (running) {
        running =
            ::waitpid(first, nullptr, WNOHANG) == 0 || ::waitpid(second, nullptr, WNOHANG) == 0;
        RegValue value;
        if (reader.QueryValue("Shared", value) == ErrorSuccess) {
            ++reads;
            torn += !ReadStamp(value.data, Size);
        }
        for (int id = 0; id < 2; ++id) {
            if (reader.QueryValue("Own" + std::to_string(id), value) != ErrorSuccess)
                continue;
            const auto stamp = ReadStamp(value.data, Size);
            if (!stamp || stamp->first != id) {
                ++torn;
                continue;
            }
            backwards += stamp->second < lastOwn[id];
            lastOwn[id] = stamp->second;
        }
    }
    (void)first;
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(backwards, 0);
    EXPECT_GT(reads, 0);

    for (int id = 0; id < 2; ++id) {
        RegValue value;
        ASSERT_EQ(reader.QueryValue("Own" + std::to_string(id), value), ErrorSuccess);
        EXPECT_EQ(ReadStamp(value.data, Size), std::make_pair(id, Writes - 1));
    }
}

TEST(RegistryRobustness, AWriterKilledMidwayLeavesAStoreThatOpensAndReads) {
    for (int delayMs : {30, 120, 300}) {
        test::TempEnvironment environment;
        constexpr std::size_t Size = 64 * 1024;
        int started[2];
        ASSERT_EQ(::pipe(started), 0);
        const pid_t child = Spawn([&started] {
            RegKey key;
            if (key.Create(Hive::CurrentUser, "Software\\Killed"))
                return 10;
            for (int n = 0;; ++n) {
                const Bytes data = Stamp(0, n, Size);
                if (key.SetValue("Big" + std::to_string(n % 16), RegBinary, data.data(),
                                 data.size()))
                    return 12;
                if (n == 0 && ::write(started[1], "!", 1) != 1)
                    return 11;
            }
        });
        char signal = 0;
        ASSERT_EQ(::read(started[0], &signal, 1), 1); // the first value is in
        ::close(started[0]);
        ::close(started[1]);
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(child, SIGKILL);
        EXPECT_EQ(ExitCodeOf(child), 128 + SIGKILL);

        RegKey key;
        ASSERT_EQ(key.Open(Hive::CurrentUser, "Software\\Killed"), ErrorSuccess) << delayMs;
        std::vector<std::pair<std::string, RegValue>> values;
        ASSERT_EQ(key.EnumValues(values), ErrorSuccess);
        for (const auto& [name, value] : values)
            EXPECT_TRUE(ReadStamp(value.data, Size)) << name;
        const std::uint8_t after = 1;
        EXPECT_EQ(key.SetValue("After", RegBinary, &after, 1), ErrorSuccess);

        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(DatabaseOf(environment).c_str(), &db), SQLITE_OK);
        sqlite3_stmt* check = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
        ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
        sqlite3_finalize(check);
        sqlite3_close(db);
    }
}

TEST(RegistryRobustness, AProcessKilledInATransactionLeavesNoneOfItsWrites) {
    test::TempEnvironment environment;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = Spawn([&ready] {
        RegTransaction transaction;
        if (transaction.Begin())
            return 10;
        RegKey key;
        if (key.Create(Hive::CurrentUser, "Software\\Half"))
            return 11;
        for (int n = 0; n < 100; ++n) {
            const Bytes data = Stamp(0, n, 4000);
            if (key.SetValue("v" + std::to_string(n), RegBinary, data.data(), data.size()))
                return 12;
        }
        if (::write(ready[1], "!", 1) != 1)
            return 13;
        ::pause();
        return 0;
    });
    char signal = 0;
    ASSERT_EQ(::read(ready[0], &signal, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    ::kill(child, SIGKILL);
    EXPECT_EQ(ExitCodeOf(child), 128 + SIGKILL);

    RegKey key;
    EXPECT_EQ(key.Open(Hive::CurrentUser, "Software\\Half"), ErrorFileNotFound);
    EXPECT_EQ(key.Create(Hive::CurrentUser, "Software\\Half"), ErrorSuccess);
    const std::uint8_t after = 1;
    EXPECT_EQ(key.SetValue("After", RegBinary, &after, 1), ErrorSuccess);
}

} // namespace
} // namespace nimbrel::platform
