#include "platform/portable/registry_database.h"

#include "platform/portable/case_fold.h"
#include "platform/portable/environment.h"
#include "platform/portable/sqlite_statement.h"

#include "platform/codepage1250.h"

#include <cerrno>
#include <mutex>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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

// A damaged file is a bad database and a full disk is one; anything else (busy, I/O) is
// the operation's failure.
WinError Failure(int result, WinError operationError) {
    const int primary = result & 0xFF;
    if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
        return ErrorBadDb;
    if (primary == SQLITE_FULL)
        return ErrorDiskFull;
    return operationError;
}

bool TablesExist(sqlite3* connection) {
    SqliteStatement count(connection, "SELECT count(*) FROM sqlite_master "
                                      "WHERE type = 'table' AND name IN ('keys', 'vals')");
    return count.Step() == SQLITE_ROW && count.Integer(0) == 2;
}

// The connection's settings, and the tables when the database has none yet.
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
    // The last connection to close folds the log into registry.sqlite3 (SQLite's own
    // default), so that the one file holds every committed value whenever no process has
    // the store open: a copy of it is a whole backup.
    if (TablesExist(connection))
        return true;
    if (sqlite3_exec(connection, CreateTables, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    sqlite3_exec(connection, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}

bool IsDiskFull(int error) {
    return error == ENOSPC || error == EDQUOT;
}

WinError ErrorOfCreation(int error) {
    if (IsDiskFull(error))
        return ErrorDiskFull;
    return error == EACCES || error == EPERM || error == EROFS ? ErrorAccessDenied : ErrorBadDb;
}

// A new store is made whole under a name of this process's own and then linked into
// place, so that no process ever meets a registry.sqlite3 that is still being made: an
// empty file is always a damaged one. A store that another process linked first wins.
WinError CreateDatabaseFile(const std::string& fileName) {
    const std::string made = fileName + ".new-" + std::to_string(::getpid());
    ::unlink(made.c_str()); // a leftover of an earlier process of this number
    sqlite3* connection = nullptr;
    int opened = sqlite3_open_v2(made.c_str(), &connection,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const bool whole = opened == SQLITE_OK && Prepare(connection);
    const int openError = opened == SQLITE_OK ? 0 : sqlite3_system_errno(connection);
    // Closing folds the log into the file and removes it.
    opened = sqlite3_close(connection);
    WinError result = ErrorSuccess;
    if (!whole || opened != SQLITE_OK) {
        int cause = openError;
        // SQLite opens lazily: a folder where nothing can be made (read-only, or missing
        // because it could not be made) fails only at the first write, without a system
        // error, and is no damaged store.
        const std::string folder = fileName.substr(0, fileName.find_last_of('/') + 1);
        if (cause == 0 && ::access(folder.c_str(), W_OK) != 0)
            cause = errno == ENOENT ? EACCES : errno;
        result = ErrorOfCreation(cause);
    } else if (::link(made.c_str(), fileName.c_str()) != 0 && errno != EEXIST)
        result = ErrorOfCreation(errno);
    ::unlink(made.c_str());
    for (const char* suffix : {"-wal", "-shm"})
        ::unlink((made + suffix).c_str());
    return result;
}

// Opens the store's file, making it first when there is none. Anything in its place that
// is not a database (an empty file included) answers ErrorBadDb and is left as it is.
WinError OpenDatabaseFile(const std::string& fileName, sqlite3*& connection) {
    struct stat status {};
    if (::stat(fileName.c_str(), &status) != 0) {
        if (errno != ENOENT)
            return ErrorOfCreation(errno);
        if (const WinError error = CreateDatabaseFile(fileName))
            return error;
    } else if (S_ISREG(status.st_mode) && status.st_size == 0) {
        return ErrorBadDb;
    }
    const int opened = sqlite3_open_v2(fileName.c_str(), &connection,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (opened == SQLITE_OK && Prepare(connection))
        return ErrorSuccess;
    // A full disk has no room for the log beside the file: no damage either.
    if (connection != nullptr && ((sqlite3_extended_errcode(connection) & 0xFF) == SQLITE_FULL ||
                                  IsDiskFull(sqlite3_system_errno(connection))))
        return ErrorDiskFull;
    // The log beside the file needs a writable folder and file; without them a sound
    // store cannot be used either, and that is not damage.
    const std::string folder = fileName.substr(0, fileName.find_last_of('/') + 1);
    if (::access(folder.c_str(), W_OK) != 0 || ::access(fileName.c_str(), W_OK) != 0)
        return ErrorAccessDenied;
    return ErrorBadDb;
}

// Which file a path names now: another program may have put a new one in its place.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const std::string& fileName) {
    struct stat status {};
    if (::stat(fileName.c_str(), &status) != 0)
        return {};
    return {status.st_dev, status.st_ino};
}

struct SharedState {
    std::mutex mutex;
    std::shared_ptr<RegistryDatabase> database;
    std::string fileName;
    FileIdentity identity; // of the file the connection opened
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

std::string RegistryDatabase::FileName() {
    return EnvironmentRoot() + "/registry.sqlite3";
}

WinError RegistryDatabase::Shared(std::shared_ptr<RegistryDatabase>& database) {
    const std::string fileName = FileName();
    SharedState& state = TheSharedState();
    std::lock_guard lock(state.mutex);
    // A store replaced by a new file (written beside it and renamed, or deleted and made
    // again) is opened anew: the connection would go on reading the old one.
    if (state.database && state.fileName == fileName && state.identity == IdentityOf(fileName)) {
        database = state.database;
        return ErrorSuccess;
    }
    if (state.database && state.fileName == fileName) {
        // The log beside the file still holds the old file's last writes, and SQLite keeps
        // it when the file it belongs to was moved: folded into the old file and emptied
        // now, so that the new file is never read through it.
        (void)sqlite3_wal_checkpoint_v2(state.database->connection_, nullptr,
                                        SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    }
    state.database.reset();
    sqlite3* connection = nullptr;
    const WinError opened = OpenDatabaseFile(fileName, connection);
    // Owns the connection from here, on every path.
    std::shared_ptr<RegistryDatabase> made(new RegistryDatabase(connection, fileName));
    if (opened != ErrorSuccess)
        return opened;
    state.database = made;
    state.fileName = fileName;
    state.identity = IdentityOf(fileName);
    database = std::move(made);
    return ErrorSuccess;
}

WinError RegistryDatabase::Begin() {
    const int result = sqlite3_exec(connection_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    return result == SQLITE_OK ? ErrorSuccess : Failure(result, ErrorCantWrite);
}

WinError RegistryDatabase::Commit() {
    const int result = sqlite3_exec(connection_, "COMMIT", nullptr, nullptr, nullptr);
    if (result == SQLITE_OK)
        return ErrorSuccess;
    Rollback();
    return Failure(result, ErrorCantWrite);
}

void RegistryDatabase::Rollback() {
    // Fails only when no transaction is open, which leaves nothing to undo.
    (void)sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr);
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
