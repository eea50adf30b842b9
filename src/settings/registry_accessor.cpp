#include "settings/registry_accessor.h"

#include "settings/store_errors.h"

#include <algorithm>
#include <array>

namespace nimbrel {

using platform::ErrorSuccess;

TRegistry::TRegistry() : TRegistry(platform::Hive::CurrentUser) {}

TRegistry::TRegistry(platform::Hive rootKey) : rootKey_(rootKey) {}

TRegistry::~TRegistry() {
    CloseKey();
}

void TRegistry::SetRootKey(platform::Hive rootKey) {
    CloseKey();
    rootKey_ = rootKey;
}

bool TRegistry::OpenKey(std::string_view key, bool canCreate) {
    std::string path;
    if (!key.empty() && key.front() == '\\') {
        path = key.substr(1);
    } else if (key_.IsOpen() && !currentPath_.empty()) {
        path = currentPath_ + "\\" + std::string(key);
    } else {
        path = key;
    }
    CloseKey();
    const platform::WinError result =
        canCreate ? key_.Create(rootKey_, path) : key_.Open(rootKey_, path);
    if (result != ErrorSuccess)
        return false;
    currentPath_ = std::move(path);
    return true;
}

void TRegistry::CloseKey() {
    key_.Close();
    currentPath_.clear();
}

std::string TRegistry::ReadString(std::string_view name) const {
    if (!key_.IsOpen())
        return {};
    platform::RegValue value;
    const platform::WinError result = key_.QueryValue(name, value);
    if (result == platform::ErrorFileNotFound)
        return {};
    if (result != ErrorSuccess)
        throw ERegistryReadError(name);
    if (value.data.empty())
        return {};
    if (value.type != platform::RegSz && value.type != platform::RegExpandSz)
        throw ERegistryTypeError(name);
    const auto zero = std::find(value.data.begin(), value.data.end(), std::uint8_t{0});
    return std::string(value.data.begin(), zero);
}

std::int32_t TRegistry::ReadInteger(std::string_view name) const {
    platform::RegValue value;
    if (!key_.IsOpen() || key_.QueryValue(name, value) != ErrorSuccess)
        throw ERegistryReadError(name);
    if (value.type != platform::RegDword)
        throw ERegistryTypeError(name);
    // Windows answers a longer REG_DWORD with "more data" and a shorter one half-filled:
    // neither is a number.
    if (value.data.size() != 4)
        throw ERegistryReadError(name);
    const std::uint32_t bits = std::uint32_t{value.data[0]} | std::uint32_t{value.data[1]} << 8 |
                               std::uint32_t{value.data[2]} << 16 |
                               std::uint32_t{value.data[3]} << 24;
    return static_cast<std::int32_t>(bits);
}

void TRegistry::WriteString(std::string_view name, std::string_view value) {
    if (!key_.IsOpen() ||
        key_.SetValue(name, platform::RegSz, reinterpret_cast<const std::uint8_t*>(value.data()),
                      value.size()) != ErrorSuccess)
        throw ERegistryWriteError(name);
}

void TRegistry::WriteInteger(std::string_view name, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    const std::array<std::uint8_t, 4> data{
        static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
        static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
    if (!key_.IsOpen() ||
        key_.SetValue(name, platform::RegDword, data.data(), data.size()) != ErrorSuccess)
        throw ERegistryWriteError(name);
}

} // namespace nimbrel
