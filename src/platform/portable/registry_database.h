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
    // created with its tables) on first use. A database that cannot be opened answers
    // ErrorBadDb and is left exactly as it is; the next call tries again.
    static WinError Shared(std::shared_ptr<RegistryDatabase>& database);

    ~RegistryDatabase();
    RegistryDatabase(const RegistryDatabase&) = delete;
    RegistryDatabase& operator=(const RegistryDatabase&) = delete;

    using KeyId = std::int64_t;
    // The key below the hive's root, each component compared case-insensitively; with
    // `create`, missing keys are added.
    WinError FindKey(Hive hive, const std::vector<std::string>& components, bool create,
                     KeyId& key);
    WinError QueryValue(KeyId key, std::string_view name, RegValue& value);
    WinError SetValue(KeyId key, std::string_view name, std::uint32_t type,
                      const std::uint8_t* data, std::size_t size);
    WinError EnumSubKeys(KeyId key, std::vector<std::string>& names);
    WinError EnumValues(KeyId key, std::vector<std::pair<std::string, RegValue>>& values);

private:
    RegistryDatabase(sqlite3* connection, std::string fileName);
    WinError FindChild(Hive hive, KeyId parent, const std::string& name, bool create, KeyId& child);

    sqlite3* connection_;
    std::string fileName_;
};

} // namespace nimbrel::platform::portable
