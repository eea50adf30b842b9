#include "platform/portable/registry_database.h"

#include "platform/portable/case_fold.h"
#include "platform/portable/environment.h"
#include "platform/portable/sqlite_statement.h"

#include "platform/codepage1250.h"

#include <mutex>
#include <sqlite3.h>

namespace nimbrel::platform::portable {
namespace {

// Long enough to outwait another process's write of one value, short enough that a store
// locked for good fails within a moment.
constexpr int BusyTimeoutMs = 2000;

constexpr const char* CreateTables = R"sql(
BEGIN IMMEDIATE;
CREATE TABLE IF NOT EXISTS keys(
    id INTEGER PRIMARY KEY,
    hive INTEGER NOT NULL,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    UNIQUE(hive, parent, folded));
CREATE TABLE IF NOT EXISTS vals(
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    PRIMARY KEY(key, folded));
INSERT OR IGNORE INTO keys(id, hive, parent, name, folded) VALUES (1, 0, 0, '', ''), (2, 1, 0, '', '');
COMMIT;
)sql";

RegistryDatabase::KeyId RootOf(Hive hive) {
    return hive == Hive::CurrentUser ? 1 : 2;
}
int HiveNumber(Hive hive) {
    return hive == Hive::CurrentUser ? 0 : 1;
}

// A damaged file is a bad database; anything else (busy, I/O) is the operation's failure.
WinError Failure(int result, WinError operationError) {
    const int primary = result & 0xFF;
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        return ErrorBadDb;
    return operationError;
}

bool TablesExist(sqlite3* connection) {
    SqliteStatement count(connection, "SELECT count(*) FROM sqlite_master "
                                      "WHERE type = 'table' AND name IN ('keys', 'vals')");
    return count.Step() == SQLITE_ROW && count.Integer(0) == 2;
}

bool Prepare(sqlite3* connection) {
    sqlite3_busy_timeout(connection, BusyTimeoutMs);
    sqlite3_extended_result_codes(connection, 1);
    // Reading the mode touches the file first: a file that is not a database fails here,
    // before anything could be written to it.
    std::string mode;
    {
        SqliteStatement query(connection, "PRAGMA journal_mode");
        if (query.Step() != SQLITE_ROW)
            return false;
        mode = query.Text(0);
    }
    if (mode != "wal") {
        SqliteStatement toWal(connection, "PRAGMA journal_mode = WAL");
        if (toWal.Step() != SQLITE_ROW || toWal.Text(0) != "wal")
            return false;
    }
    if (sqlite3_exec(connection, "PRAGMA synchronous = NORMAL", nullptr, nullptr, nullptr) !=
        SQLITE_OK)
        return false;
    // A short-lived process (nimbrel-tool, the dialog) should not pay for creating, syncing
    // and removing the log on every run: it stays, and the automatic checkpoints of later
    // writers fold it into the database. A crash loses nothing that was committed.
    int keep = 1;
    sqlite3_file_control(connection, "main", SQLITE_FCNTL_PERSIST_WAL, &keep);
    sqlite3_db_config(connection, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    if (TablesExist(connection))
        return true;
    if (sqlite3_exec(connection, CreateTables, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    sqlite3_exec(connection, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

struct SharedState {
    std::mutex mutex;
    std::shared_ptr<RegistryDatabase> database;
    std::string fileName;
};

SharedState& TheSharedState() {
    static SharedState state;
    return state;
}

} // namespace

RegistryDatabase::RegistryDatabase(sqlite3* connection, std::string fileName)
    : connection_(connection), fileName_(std::move(fileName)) {}

RegistryDatabase::~RegistryDatabase() {
    sqlite3_close_v2(connection_);
}

WinError RegistryDatabase::Shared(std::shared_ptr<RegistryDatabase>& database) {
    const std::string fileName = EnvironmentRoot() + "/registry.sqlite3";
    SharedState& state = TheSharedState();
    std::lock_guard lock(state.mutex);
    if (state.database && state.fileName == fileName) {
        database = state.database;
        return ErrorSuccess;
    }
    state.database.reset();
    sqlite3* connection = nullptr;
    const int opened = sqlite3_open_v2(
        fileName.c_str(), &connection,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    std::shared_ptr<RegistryDatabase> made(new RegistryDatabase(connection, fileName));
    if (opened != SQLITE_OK || !Prepare(connection))
        return ErrorBadDb;
    state.database = made;
    state.fileName = fileName;
    database = std::move(made);
    return ErrorSuccess;
}

WinError RegistryDatabase::FindChild(Hive hive, KeyId parent, const std::string& name, bool create,
                                     KeyId& child) {
    const std::string folded = FoldedUtf8FromCp1250(name);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SqliteStatement find(connection_,
                             "SELECT id FROM keys WHERE hive = ? AND parent = ? AND folded = ?");
        find.Bind(1, std::int64_t{HiveNumber(hive)});
        find.Bind(2, parent);
        find.Bind(3, folded);
        const int found = find.Step();
        if (found == SQLITE_ROW) {
            child = find.Integer(0);
            return ErrorSuccess;
        }
        if (found != SQLITE_DONE)
            return Failure(found, ErrorCantRead);
        if (!create || attempt > 0)
            return ErrorFileNotFound;
        SqliteStatement insert(connection_, "INSERT OR IGNORE INTO keys(hive, parent, name, "
                                            "folded) VALUES (?, ?, ?, ?)");
        insert.Bind(1, std::int64_t{HiveNumber(hive)});
        insert.Bind(2, parent);
        insert.Bind(3, Utf8FromCp1250(name));
        insert.Bind(4, folded);
        if (const int inserted = insert.Step(); inserted != SQLITE_DONE)
            return Failure(inserted, ErrorCantWrite);
    }
    return ErrorFileNotFound;
}

WinError RegistryDatabase::FindKey(Hive hive, const std::vector<std::string>& components,
                                   bool create, KeyId& key) {
    KeyId current = RootOf(hive);
    for (const std::string& name : components) {
        KeyId child = 0;
        if (const WinError error = FindChild(hive, current, name, create, child))
            return error;
        current = child;
    }
    key = current;
    return ErrorSuccess;
}

WinError RegistryDatabase::QueryValue(KeyId key, std::string_view name, RegValue& value) {
    SqliteStatement query(connection_, "SELECT type, data FROM vals WHERE key = ? AND folded = ?");
    query.Bind(1, key);
    query.Bind(2, FoldedUtf8FromCp1250(name));
    const int result = query.Step();
    if (result == SQLITE_DONE)
        return ErrorFileNotFound;
    if (result != SQLITE_ROW)
        return Failure(result, ErrorCantRead);
    value.type = static_cast<std::uint32_t>(query.Integer(0));
    value.data = query.Blob(1);
    return ErrorSuccess;
}

WinError RegistryDatabase::SetValue(KeyId key, std::string_view name, std::uint32_t type,
                                    const std::uint8_t* data, std::size_t size) {
    SqliteStatement upsert(connection_,
                           "INSERT INTO vals(key, name, folded, type, data) VALUES (?, ?, ?, ?, ?) "
                           "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, "
                           "data = excluded.data");
    upsert.Bind(1, key);
    upsert.Bind(2, Utf8FromCp1250(name));
    upsert.Bind(3, FoldedUtf8FromCp1250(name));
    upsert.Bind(4, std::int64_t{type});
    upsert.BindBlob(5, data, size);
    const int result = upsert.Step();
    return result == SQLITE_DONE ? ErrorSuccess : Failure(result, ErrorCantWrite);
}

WinError RegistryDatabase::EnumSubKeys(KeyId key, std::vector<std::string>& names) {
    SqliteStatement query(
        connection_, "SELECT name FROM keys WHERE parent = ? AND id <> parent ORDER BY folded");
    query.Bind(1, key);
    std::vector<std::string> found;
    int result;
    while ((result = query.Step()) == SQLITE_ROW)
        found.push_back(Cp1250FromUtf8(query.Text(0)));
    if (result != SQLITE_DONE)
        return Failure(result, ErrorCantRead);
    names = std::move(found);
    return ErrorSuccess;
}

WinError RegistryDatabase::EnumValues(KeyId key,
                                      std::vector<std::pair<std::string, RegValue>>& values) {
    SqliteStatement query(connection_,
                          "SELECT name, type, data FROM vals WHERE key = ? ORDER BY rowid");
    query.Bind(1, key);
    std::vector<std::pair<std::string, RegValue>> found;
    int result;
    while ((result = query.Step()) == SQLITE_ROW) {
        RegValue value;
        value.type = static_cast<std::uint32_t>(query.Integer(1));
        value.data = query.Blob(2);
        found.emplace_back(Cp1250FromUtf8(query.Text(0)), std::move(value));
    }
    if (result != SQLITE_DONE)
        return Failure(result, ErrorCantRead);
    values = std::move(found);
    return ErrorSuccess;
}

} // namespace nimbrel::platform::portable
