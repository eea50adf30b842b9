#include "platform/registry.h"

#include "platform/win32/windows_api.h"

#include <cstring>
#include <limits>
#include <mutex>
#include <optional>
#include <string>

namespace nimbrel::platform {

class RegKey::Impl {
public:
    Impl(HKEY key, Hive hive, std::string_view path) : key(key), hive(hive), path(path) {}
    ~Impl() {
        if (key)
            RegCloseKey(key);
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    HKEY key;
    Hive hive; // where the key is, so that a transaction can undo its writes
    std::string path;
};

namespace {

HKEY RootOf(Hive hive) {
    return hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// What a transaction undoes when it ends without a commit: values put back as they were
// read, values removed, keys removed with what they hold.
struct UndoStep {
    enum Kind { RestoreValue, DeleteValue, DeleteKey } kind;
    Hive hive;
    std::string keyPath;
    std::string valueName;
    RegValue value;
};

// The open transaction of this process, if any.
std::mutex undoMutex;
std::vector<UndoStep>* openUndoLog = nullptr;

void RecordUndo(UndoStep step) {
    std::lock_guard lock(undoMutex);
    if (openUndoLog)
        openUndoLog->push_back(std::move(step));
}

bool TransactionOpen() {
    std::lock_guard lock(undoMutex);
    return openUndoLog != nullptr;
}

// The shortest prefix of `path` that names no key yet: what RegCreateKeyEx would make.
std::optional<std::string> FirstMissingKey(Hive hive, std::string_view path) {
    std::size_t end = 0;
    while (end < path.size()) {
        end = path.find('\\', end + 1);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string prefix(path.substr(0, end));
        HKEY key = nullptr;
        const LSTATUS status = RegOpenKeyExA(RootOf(hive), prefix.c_str(), 0, KEY_READ, &key);
        if (status == ERROR_SUCCESS)
            RegCloseKey(key);
        else if (status == ERROR_FILE_NOT_FOUND)
            return prefix;
    }
    return std::nullopt;
}

// The size of the biggest subkey name, value name (in characters) and value data of a key, so that
// the enumerations start with buffers that usually fit.
struct KeyLimits {
    DWORD subKeyName = 0;
    DWORD valueName = 0;
    DWORD valueData = 0;
};

WinError QueryLimits(HKEY key, KeyLimits& limits) {
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &limits.subKeyName, nullptr,
                            nullptr, &limits.valueName, &limits.valueData, nullptr, nullptr);
}

// Text of the ANSI code page (1250 for this program) and UTF-16, both ways, exactly: every
// character of the one is one of the other.
std::wstring WideFromAnsi(std::string_view text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string AnsiFromWide(const wchar_t* text, std::size_t count) {
    if (count == 0)
        return {};
    const int size = static_cast<int>(count);
    const int length = WideCharToMultiByte(CP_ACP, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, size, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

bool IsStringType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// A value as the registry keeps it (strings in UTF-16), as the bytes an A call wrote: a
// string's characters in the ANSI code page, nothing added. (An A read would add a zero
// to a string stored without one whenever the buffer has room, and count it.)
std::vector<std::uint8_t> AnsiData(DWORD type, const std::vector<std::uint8_t>& stored) {
    if (!IsStringType(type))
        return stored;
    std::wstring characters(stored.size() / sizeof(wchar_t), L'\0');
    std::memcpy(characters.data(), stored.data(), characters.size() * sizeof(wchar_t));
    const std::string ansi = AnsiFromWide(characters.data(), characters.size());
    return std::vector<std::uint8_t>(ansi.begin(), ansi.end());
}

// A value as the program's A calls see it. (Shared by the key and the undo of a transaction.)
WinError QueryAnsiValue(HKEY key, std::string_view name, RegValue& value) {
    const std::wstring valueName = WideFromAnsi(name);
    DWORD type = REG_NONE;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the two calls: ask again with the size it has now.
    std::vector<std::uint8_t> data;
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        data.resize(size);
        status = RegQueryValueExW(key, valueName.c_str(), nullptr, &type,
                                  data.empty() ? nullptr : data.data(), &size);
        if (status == ERROR_SUCCESS && size <= data.size()) {
            data.resize(size); // the answer's size is the truth, not the buffer's contents
            value.type = type;
            value.data = AnsiData(type, data);
            return ErrorSuccess;
        }
    }
    return static_cast<WinError>(status);
}

WinError SetAnsiValue(HKEY key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                      std::size_t size) {
    if (size >= std::numeric_limits<DWORD>::max())
        return ErrorInvalidParameter;
    const std::string valueName(name);
    // Windows stores one byte more of a string whose last byte is not zero when the byte
    // after it is (it takes the zero for an uncounted terminator). A non-zero byte there
    // makes it store exactly these bytes.
    std::vector<std::uint8_t> bytes(size + 1, 0xFF);
    if (size > 0)
        std::memcpy(bytes.data(), data, size);
    return static_cast<WinError>(
        RegSetValueExA(key, valueName.c_str(), 0, type, bytes.data(), static_cast<DWORD>(size)));
}

void Undo(const UndoStep& step) {
    // Nothing more can be done about a failure on the way out: every result is ignored.
    if (step.kind == UndoStep::DeleteKey) {
        (void)RegDeleteTreeA(RootOf(step.hive), step.keyPath.c_str());
        (void)RegDeleteKeyA(RootOf(step.hive), step.keyPath.c_str());
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootOf(step.hive), step.keyPath.c_str(), 0, KEY_SET_VALUE, &key) !=
        ERROR_SUCCESS)
        return;
    if (step.kind == UndoStep::DeleteValue)
        (void)RegDeleteValueA(key, step.valueName.c_str());
    else
        (void)SetAnsiValue(key, step.valueName, step.value.type, step.value.data.data(),
                           step.value.data.size());
    RegCloseKey(key);
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
    const std::optional<std::string> made =
        TransactionOpen() ? FirstMissingKey(hive, path) : std::nullopt;
    HKEY key = nullptr;
    const std::string subKey(path);
    const LSTATUS status =
        RegCreateKeyExA(RootOf(hive), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        return static_cast<WinError>(status);
    if (made)
        RecordUndo({UndoStep::DeleteKey, hive, *made, {}, {}});
    impl_ = std::make_unique<Impl>(key, hive, path);
    return ErrorSuccess;
}

WinError RegKey::Open(Hive hive, std::string_view path) {
    HKEY key = nullptr;
    const std::string subKey(path);
    const LSTATUS status = RegOpenKeyExA(RootOf(hive), subKey.c_str(), 0, KEY_READ, &key);
    if (status != ERROR_SUCCESS)
        return static_cast<WinError>(status);
    impl_ = std::make_unique<Impl>(key, hive, path);
    return ErrorSuccess;
}

WinError RegKey::QueryValue(std::string_view name, RegValue& value) const {
    if (!impl_)
        return ErrorInvalidHandle;
    return QueryAnsiValue(impl_->key, name, value);
}

WinError RegKey::SetValue(std::string_view name, std::uint32_t type, const std::uint8_t* data,
                          std::size_t size) {
    if (!impl_)
        return ErrorInvalidHandle;
    if (TransactionOpen()) {
        // The value as it is now, to be put back.
        UndoStep step{UndoStep::RestoreValue, impl_->hive, impl_->path, std::string(name), {}};
        const WinError error = QueryAnsiValue(impl_->key, name, step.value);
        if (error == ErrorFileNotFound)
            step.kind = UndoStep::DeleteValue;
        else if (error != ErrorSuccess)
            return error; // a change that could not be undone is not made
        RecordUndo(std::move(step));
    }
    return SetAnsiValue(impl_->key, name, type, data, size);
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
    std::wstring name(limits.valueName + 1, L'\0');
    std::vector<std::uint8_t> data(limits.valueData + 1);
    for (DWORD index = 0;;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = REG_NONE;
        const LSTATUS status = RegEnumValueW(impl_->key, index, name.data(), &nameLength, nullptr,
                                             &type, data.data(), &dataSize);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_MORE_DATA) { // a longer name or bigger data was added meanwhile
            name.resize(name.size() * 2);
            data.resize(data.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS)
            return static_cast<WinError>(status);
        RegValue value;
        value.type = type;
        value.data =
            AnsiData(type, std::vector<std::uint8_t>(data.begin(), data.begin() + dataSize));
        found.emplace_back(AnsiFromWide(name.data(), nameLength), std::move(value));
        ++index;
    }
    values = std::move(found);
    return ErrorSuccess;
}

class RegTransaction::Impl {
public:
    std::vector<UndoStep> undo;
    bool open = false;
};

RegTransaction::RegTransaction() : impl_(std::make_unique<Impl>()) {}

RegTransaction::~RegTransaction() {
    if (!impl_->open)
        return;
    {
        std::lock_guard lock(undoMutex);
        openUndoLog = nullptr;
    }
    for (auto step = impl_->undo.rbegin(); step != impl_->undo.rend(); ++step)
        Undo(*step);
}

WinError RegTransaction::Begin() {
    std::lock_guard lock(undoMutex);
    if (impl_->open || openUndoLog)
        return ErrorInvalidParameter;
    openUndoLog = &impl_->undo;
    impl_->open = true;
    return ErrorSuccess;
}

WinError RegTransaction::Commit() {
    if (!impl_->open)
        return ErrorInvalidParameter;
    std::lock_guard lock(undoMutex);
    openUndoLog = nullptr;
    impl_->open = false;
    impl_->undo.clear();
    return ErrorSuccess;
}

std::string RegistryLocation() {
    return "the Windows registry";
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
