// The store's speed: one value written or read, inside a process (RegKey) and as a whole
// process (nimbrel-tool reg set/get, as a script would use it), each beside the same work
// done on a bare SQLite table (in-process, and by the sqlite3 program) in the same run.
#include "platform/registry.h"
#include "support/temp_environment.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace nimbrel::platform {
namespace {

const char* const KeyPath = "Software\\Vexmoor\\Nimbrel";

// Runs a program to its end with its output discarded; false when it failed.
bool RunProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A bare table of the same shape as the hive's values, with the same journal settings.
class BareTable {
public:
    explicit BareTable(const std::string& fileName) : fileName_(fileName) {
        sqlite3_open(fileName.c_str(), &db_);
        sqlite3_busy_timeout(db_, 2000);
        sqlite3_exec(db_,
                     "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL;"
                     "CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL, name TEXT NOT NULL,"
                     " folded TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,"
                     " PRIMARY KEY(key, folded));",
                     nullptr, nullptr, nullptr);
    }
    ~BareTable() { sqlite3_close(db_); }
    sqlite3* db() const { return db_; }
    const std::string& fileName() const { return fileName_; }

private:
    std::string fileName_;
    sqlite3* db_ = nullptr;
};

constexpr const char* BareUpsert =
    "INSERT INTO vals(key, name, folded, type, data) VALUES (3, 'Interval', 'INTERVAL', 4, ?) "
    "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data";
constexpr const char* BareSelect = "SELECT type, data FROM vals WHERE key = 3 AND folded = ?";

void StoreSetValue(benchmark::State& state) {
    test::TempEnvironment environment;
    RegKey key;
    if (key.Create(Hive::CurrentUser, KeyPath))
        state.SkipWithError("cannot create the key");
    std::uint32_t minutes = 0;
    for (auto _ : state) {
        ++minutes;
        if (key.SetValue("Interval", RegDword, reinterpret_cast<const std::uint8_t*>(&minutes), 4))
            state.SkipWithError("write failed");
    }
    state.SetItemsProcessed(state.iterations());
}

// As the settings accessor works: the key opened afresh for every access.
void StoreOpenSetClose(benchmark::State& state) {
    test::TempEnvironment environment;
    std::uint32_t minutes = 0;
    for (auto _ : state) {
        ++minutes;
        RegKey key;
        if (key.Create(Hive::CurrentUser, KeyPath) ||
            key.SetValue("Interval", RegDword, reinterpret_cast<const std::uint8_t*>(&minutes), 4))
            state.SkipWithError("write failed");
    }
    state.SetItemsProcessed(state.iterations());
}

void StoreQueryValue(benchmark::State& state) {
    test::TempEnvironment environment;
    RegKey key;
    const std::uint32_t minutes = 60;
    if (key.Create(Hive::CurrentUser, KeyPath) ||
        key.SetValue("Interval", RegDword, reinterpret_cast<const std::uint8_t*>(&minutes), 4))
        state.SkipWithError("cannot write the value");
    for (auto _ : state) {
        RegValue value;
        if (key.QueryValue("Interval", value))
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(value);
    }
    state.SetItemsProcessed(state.iterations());
}

void BareSqliteUpsert(benchmark::State& state) {
    test::TempEnvironment environment;
    BareTable table(environment.Root() + "/bare.sqlite3");
    sqlite3_stmt* upsert = nullptr;
    sqlite3_prepare_v2(table.db(), BareUpsert, -1, &upsert, nullptr);
    std::uint32_t minutes = 0;
    for (auto _ : state) {
        ++minutes;
        sqlite3_bind_blob(upsert, 1, &minutes, 4, SQLITE_TRANSIENT);
        if (sqlite3_step(upsert) != SQLITE_DONE)
            state.SkipWithError("write failed");
        sqlite3_reset(upsert);
    }
    sqlite3_finalize(upsert);
    state.SetItemsProcessed(state.iterations());
}

void BareSqliteSelect(benchmark::State& state) {
    test::TempEnvironment environment;
    BareTable table(environment.Root() + "/bare.sqlite3");
    sqlite3_exec(table.db(), "INSERT INTO vals VALUES (3, 'Interval', 'INTERVAL', 4, x'3c000000')",
                 nullptr, nullptr, nullptr);
    for (auto _ : state) {
        // Prepared afresh each time, as the store does.
        sqlite3_stmt* select = nullptr;
        sqlite3_prepare_v2(table.db(), BareSelect, -1, &select, nullptr);
        sqlite3_bind_text(select, 1, "INTERVAL", -1, SQLITE_STATIC);
        if (sqlite3_step(select) != SQLITE_ROW)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(sqlite3_column_blob(select, 1));
        sqlite3_finalize(select);
    }
    state.SetItemsProcessed(state.iterations());
}

void ToolSet(benchmark::State& state) {
    test::TempEnvironment environment;
    int minutes = 0;
    for (auto _ : state) {
        if (!RunProgram({NIMBREL_TOOL, "reg", "set", std::string("HKCU\\") + KeyPath, "Interval",
                         "dword", std::to_string(++minutes)}))
            state.SkipWithError("nimbrel-tool reg set failed");
    }
    state.SetItemsProcessed(state.iterations());
}

void ToolGet(benchmark::State& state) {
    test::TempEnvironment environment;
    RunProgram(
        {NIMBREL_TOOL, "reg", "set", std::string("HKCU\\") + KeyPath, "Interval", "dword", "60"});
    for (auto _ : state) {
        if (!RunProgram({NIMBREL_TOOL, "reg", "get", std::string("HKCU\\") + KeyPath, "Interval"}))
            state.SkipWithError("nimbrel-tool reg get failed");
    }
    state.SetItemsProcessed(state.iterations());
}

void Sqlite3ProgramSet(benchmark::State& state) {
    if (std::string(NIMBREL_SQLITE3_CLI).find("NOTFOUND") != std::string::npos) {
        state.SkipWithError("no sqlite3 program");
        return;
    }
    test::TempEnvironment environment;
    const BareTable table(environment.Root() + "/bare.sqlite3");
    int minutes = 0;
    for (auto _ : state) {
        const std::string sql = "PRAGMA synchronous = NORMAL; PRAGMA busy_timeout = 2000; "
                                "INSERT INTO vals(key, name, folded, type, data) VALUES (3, "
                                "'Interval', 'INTERVAL', 4, x'" +
                                std::to_string(10 + (++minutes % 90)) +
                                "000000') ON CONFLICT(key, folded) DO UPDATE SET type = "
                                "excluded.type, data = excluded.data;";
        if (!RunProgram({NIMBREL_SQLITE3_CLI, table.fileName(), sql}))
            state.SkipWithError("sqlite3 failed");
    }
    state.SetItemsProcessed(state.iterations());
}

void Sqlite3ProgramGet(benchmark::State& state) {
    if (std::string(NIMBREL_SQLITE3_CLI).find("NOTFOUND") != std::string::npos) {
        state.SkipWithError("no sqlite3 program");
        return;
    }
    test::TempEnvironment environment;
    const BareTable table(environment.Root() + "/bare.sqlite3");
    sqlite3_exec(table.db(), "INSERT INTO vals VALUES (3, 'Interval', 'INTERVAL', 4, x'3c000000')",
                 nullptr, nullptr, nullptr);
    for (auto _ : state) {
        if (!RunProgram(
                {NIMBREL_SQLITE3_CLI, table.fileName(),
                 "SELECT type, hex(data) FROM vals WHERE key = 3 AND folded = 'INTERVAL';"}))
            state.SkipWithError("sqlite3 failed");
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(StoreSetValue)->UseRealTime();
BENCHMARK(StoreOpenSetClose)->UseRealTime();
BENCHMARK(BareSqliteUpsert)->UseRealTime();
BENCHMARK(StoreQueryValue)->UseRealTime();
BENCHMARK(BareSqliteSelect)->UseRealTime();
BENCHMARK(ToolSet)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Sqlite3ProgramSet)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ToolGet)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Sqlite3ProgramGet)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace nimbrel::platform

BENCHMARK_MAIN();
