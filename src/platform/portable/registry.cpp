// The raw registry of the emulated environment, over the hive database.
#include "platform/registry.h"

#include "platform/portable/registry_database.h"

namespace nimbrel::platform {

using portable::RegistryDatabase;

namespace {

// Key paths as Windows takes them: components between backslashes; a leading backslash
// and empty components are ignored.
std::vector<std::string> SplitKeyPath(std::string_view path) {
    std::vector<std::string> components;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            components.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

} // namespace

class RegKey::Impl {
public:
    std::shared_ptr<RegistryDatabase> database;
    RegistryDatabase::KeyId key = 0;
};

RegKey::RegKey() = default;
RegKey::~RegKey() = default;
RegKey::RegKey(RegKey&& other) noexcept = default;
RegKey& RegKey::operator=(RegKey&& other) noexcept = default;

bool RegKey::IsOpen() const {
    return impl_ != nullptr;
}

// Replaces `impl` only when the key opened.
static WinError OpenKey(Hive hive, std::string_view path, bool create,
                        std::unique_ptr<RegKey::Impl>& impl) {
    // Windows' longest key name.
    constexpr std::size_t MaxKeyNameLength = 255;
    const std::vector<std::string> components = SplitKeyPath(path);
    for (const std::string& component : components)
        if (component.size() > MaxKeyNameLength)
            return ErrorInvalidParameter;
    auto opened = std::make_unique<RegKey::Impl>();
    if (const WinError error = RegistryDatabase::Shared(opened->database))
        return error;
    if (const WinError error = opened->database->FindKey(hive, components, create, opened->key))
        return error;
    impl = std::move(opened);
    return ErrorSuccess;
}

WinError RegKey::Create(Hive hive, std::string_view path) {
    return OpenKey(hive, path, true, impl_);
}

WinError RegKey::Open(Hive hive, std::string_view path) {
    return OpenKey(hive, path, false, impl_);
}

WinError RegKey::QueryValue(std::string_view name, RegValue& value) const {
    if (!impl_)
        return ErrorInvalidHandle;
    return impl_->database->QueryValue(impl_->key, name, value);
}

WinError RegKey::SetValue(std::string_view name, std::uint32_t type, const std::uint8_t* data,
                          std::size_t size) {
    if (!impl_)
        return ErrorInvalidHandle;
    if (size > 0 && data == nullptr)
        return ErrorInvalidParameter;
    return impl_->database->SetValue(impl_->key, name, type, data, size);
}

WinError RegKey::EnumSubKeys(std::vector<std::string>& names) const {
    if (!impl_)
        return ErrorInvalidHandle;
    return impl_->database->EnumSubKeys(impl_->key, names);
}

WinError RegKey::EnumValues(std::vector<std::pair<std::string, RegValue>>& values) const {
    if (!impl_)
        return ErrorInvalidHandle;
    return impl_->database->EnumValues(impl_->key, values);
}

WinError RegKey::Close() {
    impl_.reset();
    return ErrorSuccess;
}

class RegTransaction::Impl {
public:
    std::shared_ptr<RegistryDatabase> database;
    bool open = false;
};

RegTransaction::RegTransaction() : impl_(std::make_unique<Impl>()) {}

RegTransaction::~RegTransaction() {
    if (impl_->open)
        impl_->database->Rollback();
}

WinError RegTransaction::Begin() {
    if (impl_->open)
        return ErrorInvalidParameter;
    if (const WinError error = RegistryDatabase::Shared(impl_->database))
        return error;
    if (const WinError error = impl_->database->Begin())
        return error;
    impl_->open = true;
    return ErrorSuccess;
}

WinError RegTransaction::Commit() {
    if (!impl_->open)
        return ErrorInvalidParameter;
    impl_->open = false;
    return impl_->database->Commit();
}

std::string RegistryLocation() {
    return RegistryDatabase::FileName();
}

} // namespace nimbrel::platform
