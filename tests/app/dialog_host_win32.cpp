#include "dialog_host.h"

#include "settings/store_values.h"

#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace nimbrel::test {
namespace {

namespace fs = std::filesystem;

constexpr const wchar_t* SettingsKey = L"Software\\Vexmoor\\Nimbrel";
constexpr const wchar_t* RunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring WideName(std::string_view name) {
    return std::wstring(name.begin(), name.end());
}

// Gives the settings key this access list (nullptr: everyone may do everything).
bool SetSettingsAccess(ACL* access) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
        return false;
    SECURITY_DESCRIPTOR descriptor{};
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, access, FALSE);
    const bool set =
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

// The settings key and the autostart entry of the test run's own registry, gone.
void ClearStore() {
    SetSettingsAccess(nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey);
    HKEY run = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, RunKey, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
        RegDeleteValueW(run, WideName(store::AutostartValue).c_str());
        RegCloseKey(run);
    }
}

fs::path WindowsFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (GetWindowsDirectoryW(folder, MAX_PATH) == 0)
        throw std::runtime_error("no Windows folder");
    return fs::path(folder);
}

void RemoveWhatever(const fs::path& path) {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
}

} // namespace

// Windows has one registry and one SYSTEM.INI: the test starts without the settings and
// without SYSTEM.INI (kept aside in the environment's folder), and both come back at its end.
TDialogHost::TDialogHost(const TempEnvironment& environment) : environment_(environment) {
    if (WideName(store::SettingsKey) != SettingsKey)
        throw std::logic_error("the settings key moved");
    ClearStore();
    const fs::path ini = WindowsFolder() / "SYSTEM.INI";
    if (fs::exists(ini)) {
        savedSystemIni_ = environment_.Root() + "\\saved-system.ini";
        fs::rename(ini, savedSystemIni_);
    }
}

TDialogHost::~TDialogHost() {
    ClearStore();
    const fs::path ini = WindowsFolder() / "SYSTEM.INI";
    RemoveWhatever(ini);
    if (!savedSystemIni_.empty()) {
        std::error_code ignored;
        fs::rename(savedSystemIni_, ini, ignored);
    }
}

std::string TDialogHost::ProgramDrive() {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    return fs::path(program).root_name().string() + "\\";
}

std::string TDialogHost::SystemIniPath() const {
    return (WindowsFolder() / "SYSTEM.INI").string();
}

void TDialogHost::ForgetSettingsKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey);
}

// The settings key with an empty access list: no one may open it.
void TDialogHost::MakeStoreUnusable() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot make the settings key");
    RegCloseKey(key);
    ACL empty{};
    InitializeAcl(&empty, sizeof empty, ACL_REVISION);
    if (!SetSettingsAccess(&empty))
        throw std::runtime_error("cannot lock the settings key");
}

// scripts/test-windows names the folder and makes PNG files of the bitmaps.
std::string TDialogHost::PicturePath(std::string_view name) {
    const char* folder = std::getenv("NIMBREL_PAGE_SHOTS");
    return std::string(folder != nullptr ? folder : ".") + "\\" + std::string(name) + ".bmp";
}

} // namespace nimbrel::test
