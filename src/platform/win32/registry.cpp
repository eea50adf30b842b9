#include "platform/registry.h"

#include "platform/win32/windows_api.h"

#include <limits>
#include <string>

namespace nimbrel::platform {

class RegKey::Impl {
public:
    explicit Impl(HKEY key) : key(key) {}
    ~Impl() {
        if (key)
            RegCloseKey(key);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    HKEY key;
};

namespace {

HKEY RootOf(Hive hive) {
    return hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The size of the biggest subkey name, value name and value data of a key, so that the
// enumerations start with buffers that usually fit.
struct KeyLimits {
    DWORD subKeyName = 0;
    DWORD valueName = 0;
    DWORD valueData = 0;
};

WinError QueryLimits(HKEY key, KeyLimits& limits) {
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, &limits.subKeyName, nullptr,
                            nullptr, &limits.valueName, &limits.valueData, nullptr, nullptr);
}

} // namespace

RegKey::RegKey() = default;
RegKey::~RegKey() = default;
RegKey::RegKey(RegKey&& other) noexcept = default;
RegKey& RegKey::operator=(RegKey&& other) noexcept = default;

bool RegKey::IsOpen() const {
    return impl_ != nullptr;
}

WinError RegKey::Create(Hive hive, std::string_view path) {
    HKEY key = nullptr;
    const std::string subKey(path);
    const LSTATUS status =
        RegCreateKeyExA(RootOf(hive), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return static_cast<WinError>(status);
    impl_ = std::make_unique<Impl>(key);
    return ErrorSuccess;
}

WinError RegKey::Open(Hive hive, std::string_view path) {
    HKEY key = nullptr;
    const std::string subKey(path);
    const LSTATUS status = RegOpenKeyExA(RootOf(hive), subKey.c_str(), 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS)
        return static_cast<WinError>(status);
    impl_ = std::make_unique<Impl>(key);
    return ErrorSuccess;
}

WinError RegKey::QueryValue(std::string_view name, RegValue& value) const {
    if (!impl_)
        return ErrorInvalidHandle;
    const std::string valueName(name);
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS status =
        RegQueryValueExA(impl_->key, valueName.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the two calls: ask again with the size it has now.
    std::vector<std::uint8_t> data;
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        data.resize(size + 1);
        size = static_cast<DWORD>(data.size());
        status =
            RegQueryValueExA(impl_->key, valueName.c_str(), nullptr, &type, data.data(), &size);
        if (status == ERROR_SUCCESS) {
            // The answer's size is the truth; what lies in the buffer beyond it is not data
            // (a string read may or may not add a zero there).
            data.resize(size);
            value.type = type;
            value.data = std::move(data);
            return ErrorSuccess;
        }
    }
    return static_cast<WinError>(status);
}

WinError RegKey::SetValue(std::string_view name, std::uint32_t type, const std::uint8_t* data,
                          std::size_t size) {
    if (!impl_)
        return ErrorInvalidHandle;
    if (size > std::numeric_limits<DWORD>::max())
        return ErrorInvalidParameter;
    const std::string valueName(name);
    static const BYTE none = 0;
    return static_cast<WinError>(RegSetValueExA(impl_->key, valueName.c_str(), 0, type,
                                                size == 0 ? &none : data,
                                                static_cast<DWORD>(size)));
}

WinError RegKey::EnumSubKeys(std::vector<std::string>& names) const {
    if (!impl_)
        return ErrorInvalidHandle;
    KeyLimits limits;
    if (const WinError error = QueryLimits(impl_->key, limits); error != ErrorSuccess)
        return error;
    std::vector<std::string> found;
    std::string buffer(limits.subKeyName + 1, '\0');
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LSTATUS status = RegEnumKeyExA(impl_->key, index, buffer.data(), &length, nullptr,
                                             nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_MORE_DATA) { // a longer name was added meanwhile
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS)
            return static_cast<WinError>(status);
        found.emplace_back(buffer.data(), length);
        ++index;
    }
    names = std::move(found);
    return ErrorSuccess;
}

WinError RegKey::EnumValues(std::vector<std::pair<std::string, RegValue>>& values) const {
    if (!impl_)
        return ErrorInvalidHandle;
    KeyLimits limits;
    if (const WinError error = QueryLimits(impl_->key, limits); error != ErrorSuccess)
        return error;
    std::vector<std::pair<std::string, RegValue>> found;
    std::string name(limits.valueName + 1, '\0');
    std::vector<std::uint8_t> data(limits.valueData + 1);
    for (DWORD index = 0;;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const LSTATUS status = RegEnumValueA(impl_->key, index, name.data(), &nameLength, nullptr,
                                             &type, data.data(), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_MORE_DATA) { // grew meanwhile, or the A conversion needs more
            name.resize(name.size() * 2);
            data.resize(data.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS)
            return static_cast<WinError>(status);
        RegValue value;
        value.type = type;
        value.data.assign(data.begin(), data.begin() + dataSize);
        found.emplace_back(std::string(name.data(), nameLength), std::move(value));
        ++index;
    }
    values = std::move(found);
    return ErrorSuccess;
}

WinError RegKey::Close() {
    if (!impl_)
        return ErrorSuccess;
    const HKEY key = impl_->key;
    impl_->key = nullptr;
    impl_.reset();
    return static_cast<WinError>(RegCloseKey(key));
}

} // namespace nimbrel::platform
