#pragma once
// The registry accessor the dialog and the start-up facts use: a root hive, at most one
// open key, and typed reads and writes with the store's rules and error texts.
//
//   TRegistry reg;                                   // root HKEY_CURRENT_USER
//   reg.OpenKey(store::SettingsKey, true);           // result deliberately not needed
//   int minutes = reg.ReadInteger(store::Interval);  // throws ERegistryException
//   reg.WriteString(store::SetAsNext, "SUNSET.JPG");
//   // the key is closed when `reg` goes out of scope, on every path
//
// Rules (text is code page 1250 throughout):
// - ReadString: a missing value, a value with data of length 0, or no open key gives ""
//   without an error. REG_SZ and REG_EXPAND_SZ give their data up to the first zero byte,
//   never expanded. Any other type throws ERegistryTypeError; any other failure of the
//   query throws ERegistryReadError.
// - ReadInteger: the value must be a REG_DWORD of 4 bytes. A missing value, no open key or
//   a failed query throws ERegistryReadError; another type throws ERegistryTypeError.
// - WriteString: REG_SZ with the text's bytes and no terminating zero ("" is a REG_SZ of
//   length 0). WriteInteger: REG_DWORD, 4 bytes little-endian. A failure, also with no
//   open key, throws ERegistryWriteError.
#include "platform/registry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbrel {

class TRegistry {
public:
    // Root HKEY_CURRENT_USER.
    TRegistry();
    explicit TRegistry(platform::Hive rootKey);
    ~TRegistry(); // closes the open key
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    platform::Hive RootKey() const { return rootKey_; }
    // Changing the root closes the open key.
    void SetRootKey(platform::Hive rootKey);

    // Closes the open key, then opens `key`. A path with a leading backslash is absolute
    // (from the root); without one it is relative to the key open now, or to the root.
    // canCreate: create the key and its parents if missing, with full access; otherwise
    // open an existing key only. Answers whether the key is open.
    bool OpenKey(std::string_view key, bool canCreate);
    void CloseKey();
    bool HasOpenKey() const { return key_.IsOpen(); }
    // The full path (from the root, without leading backslash) of the open key.
    const std::string& CurrentPath() const { return currentPath_; }

    std::string ReadString(std::string_view name) const;
    std::int32_t ReadInteger(std::string_view name) const;
    void WriteString(std::string_view name, std::string_view value);
    void WriteInteger(std::string_view name, std::int32_t value);

private:
    platform::Hive rootKey_;
    platform::RegKey key_;
    std::string currentPath_;
};

} // namespace nimbrel
