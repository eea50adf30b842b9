#pragma once
// The raw registry: the hives HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE with Windows'
// semantics (key paths and value names compare case-insensitively, a value keeps its
// type number and raw bytes). Every call answers a Win32 error code; out-parameters,
// and a key whose Open or Create fails, are left untouched on failure.
#include "platform/win_error.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nimbrel::platform {

// Value types, with Windows' numbers.
enum : std::uint32_t {
    RegNone = 0,
    RegSz = 1,
    RegExpandSz = 2,
    RegBinary = 3,
    RegDword = 4,
    RegDwordBigEndian = 5,
    RegLink = 6,
    RegMultiSz = 7,
    RegQword = 11,
};

enum class Hive { CurrentUser, LocalMachine };

struct RegValue {
    std::uint32_t type = RegNone;
    std::vector<std::uint8_t> data;
};

// A move-only handle to one open key; closed on destruction.
// Paths are relative to the hive, components separated by one backslash, in code page 1250.
class RegKey {
public:
    RegKey();
    ~RegKey();
    RegKey(RegKey&& other) noexcept;
    RegKey& operator=(RegKey&& other) noexcept;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    bool IsOpen() const;

    // RegCreateKeyEx with KEY_ALL_ACCESS: opens the key, creating it and its parents if
    // missing. On failure the handle keeps the key it had (or none).
    [[nodiscard]] WinError Create(Hive hive, std::string_view path);
    // RegOpenKeyEx for reading: opens an existing key only, creates nothing. On failure the
    // handle keeps the key it had (or none).
    [[nodiscard]] WinError Open(Hive hive, std::string_view path);
    // RegQueryValueEx: the value's type and all of its bytes ("" names the default value).
    [[nodiscard]] WinError QueryValue(std::string_view name, RegValue& value) const;
    // RegSetValueEx: stores the type and exactly these bytes, as one atomic write.
    [[nodiscard]] WinError SetValue(std::string_view name, std::uint32_t type,
                                    const std::uint8_t* data, std::size_t size);
    // The names of the direct subkeys and the values of this key, in the store's order.
    [[nodiscard]] WinError EnumSubKeys(std::vector<std::string>& names) const;
    [[nodiscard]] WinError EnumValues(std::vector<std::pair<std::string, RegValue>>& values) const;
    // RegCloseKey; closing a closed key is a no-op that answers success. (The destructor
    // closes too; call this where a failure to close matters.)
    WinError Close();

    class Impl; // backend-specific

private:
    std::unique_ptr<Impl> impl_;
};

// Makes the key creations and value writes of this process between Begin and Commit one
// change of the store: all of them take effect, or none when the transaction ends
// without a successful Commit (a failure, an exception). In the emulated environment a
// killed process leaves the store as it was before Begin too; on Windows the writes made
// so far are undone on the way out, which a killed process cannot do. One transaction at
// a time in a process.
class RegTransaction {
public:
    RegTransaction();
    ~RegTransaction(); // undoes what was not committed
    RegTransaction(const RegTransaction&) = delete;
    RegTransaction& operator=(const RegTransaction&) = delete;

    [[nodiscard]] WinError Begin();
    [[nodiscard]] WinError Commit();

    class Impl; // backend-specific

private:
    std::unique_ptr<Impl> impl_;
};

// Where the registry lives, for messages: the file of the emulated environment's hives
// (a host path), or "the Windows registry".
std::string RegistryLocation();

} // namespace nimbrel::platform
