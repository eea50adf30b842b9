#pragma once
// The hives of the emulated registry in one SQLite database (<root>/registry.sqlite3).
// Keys form a tree per hive; names are kept as given and compared by their folded form.
// Every value write is one transaction, so another process reads each value whole.
#include "platform/registry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;

namespace nimbrel::platform::portable {

class RegistryDatabase {
public:
    // The connection to the database of the current environment, opened (and the file
    // created with its tables) on first use. A database that cannot be opened (an empty
    // file included) answers ErrorBadDb and is left exactly as it is; a folder where the
    // file cannot be made answers ErrorAccessDenied. The next call tries again.
    [[nodiscard]] static WinError Shared(std::shared_ptr<RegistryDatabase>& database);
    // The host path of the current environment's database file.
    static std::string FileName();

    ~RegistryDatabase();
    RegistryDatabase(const RegistryDatabase&) = delete;
    RegistryDatabase& operator=(const RegistryDatabase&) = delete;

    using KeyId = std::int64_t;
    // The key below the hive's root, each component compared case-insensitively; with
    // `create`, missing keys are added.
    [[nodiscard]] WinError FindKey(Hive hive, const std::vector<std::string>& components,
                                   bool create, KeyId& key);
    [[nodiscard]] WinError QueryValue(KeyId key, std::string_view name, RegValue& value);
    [[nodiscard]] WinError SetValue(KeyId key, std::string_view name, std::uint32_t type,
                                    const std::uint8_t* data, std::size_t size);
    [[nodiscard]] WinError EnumSubKeys(KeyId key, std::vector<std::string>& names);
    [[nodiscard]] WinError EnumValues(KeyId key,
                                      std::vector<std::pair<std::string, RegValue>>& values);

    // One transaction over the writes of this connection (every thread's): the write lock
    // is taken at Begin, so nothing can lock the store half-way through.
    [[nodiscard]] WinError Begin();
    [[nodiscard]] WinError Commit(); // rolls back when the commit fails
    void Rollback();

private:
    RegistryDatabase(sqlite3* connection, std::string fileName);
    WinError FindChild(Hive hive, KeyId parent, const std::string& name, bool create, KeyId& child);

    sqlite3* connection_;
    std::string fileName_;
};

} // namespace nimbrel::platform::portable
