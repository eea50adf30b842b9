#include "settings/store_entries.h"

#include "platform/profile.h"
#include "platform/system.h"
#include "settings/registry_accessor.h"
#include "settings/store_errors.h"
#include "settings/store_values.h"

namespace nimbrel {

void WriteSettingsString(std::string_view name, std::string_view value) {
    TRegistry registry;
    // Not tested: a key that did not open makes the write fail on its own.
    registry.OpenKey(store::SettingsKey, true);
    registry.WriteString(name, value);
}

namespace {

bool AutostartOf(const TRegistry& run) {
    try {
        return run.ReadString(store::AutostartValue) != store::AutostartOff;
    } catch (const ERegistryException&) {
        return false;
    }
}

} // namespace

std::optional<bool> ReadAutostart() {
    TRegistry registry;
    if (!registry.OpenKey(store::RunKey, true))
        return std::nullopt;
    return AutostartOf(registry);
}

bool ReadAutostartWithoutCreating() {
    TRegistry registry;
    return !registry.OpenKey(store::RunKey, false) || AutostartOf(registry);
}

void WriteAutostart(bool on, std::string_view programFolder) {
    TRegistry registry;
    if (!registry.OpenKey(store::RunKey, true))
        return;
    if (on)
        registry.WriteString(store::AutostartValue,
                             std::string(programFolder) + std::string(store::WallpaperChangerFile));
    else
        registry.WriteString(store::AutostartValue, store::AutostartOff);
}

std::string SystemIniFile() {
    return platform::WindowsDirectory() + std::string(store::SystemIniName);
}

void InstallScreenSaver(std::string_view programFolder) {
    const std::string file = SystemIniFile();
    const std::string screenSaver =
        std::string(programFolder) + std::string(store::ScreenSaverFile);
    if (!platform::WriteProfileString(file, store::SystemIniSection, store::SystemIniKey,
                                      screenSaver))
        throw EIniFileException(file);
    // The system's answer is not looked at: the entry is written, and the switch only
    // tells the running system about it.
    (void)platform::SetScreenSaverActive();
}

} // namespace nimbrel
