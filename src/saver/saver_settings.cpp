#include "saver/saver_settings.h"

#include "settings/registry_accessor.h"
#include "settings/store_values.h"
#include "sysutil/text_routines.h"
#include "wallpaper_folder/chosen_folder.h"
#include "wallpaper_folder/folder_listing.h"

#include <algorithm>
#include <exception>

namespace nimbrel::saver {
namespace {

template <class Read> void Guarded(Read read) {
    try {
        read();
    } catch (const std::exception&) {
        // the default stays, as in the dialog
    }
}

std::optional<AccessRule> ReadProtection(const TRegistry& reg) {
    int key = store::NoAccessKey, shift = 0, times = 0;
    std::string password;
    Guarded([&] { key = reg.ReadInteger(store::AccessKey); });
    Guarded([&] {
        shift = reg.ReadInteger(store::AccessShift);
        times = reg.ReadInteger(store::AccessTimes);
    });
    Guarded([&] { password = reg.ReadString(store::AccessPassword); });
    return ProtectionOf(key, shift, times, password);
}

} // namespace

std::optional<AccessRule> ProtectionOf(int key, int shift, int times, const std::string& password) {
    if (key < store::FirstAccessKey || key > store::LastAccessKey)
        return std::nullopt;
    if (shift < store::AccessShiftShift || shift > store::AccessShiftAlt)
        return std::nullopt;
    if (times < store::MinAccessTimes || password.size() < store::MinPasswordLength)
        return std::nullopt;
    return AccessRule{key, shift, times, password};
}

SaverSettings ReadSaverSettings() {
    SaverSettings settings;
    settings.sizing.placement = render::Placement::Center;
    TRegistry reg;
    if (reg.OpenKey(store::SettingsKey, false)) {
        Guarded([&] {
            if (reg.ReadString(store::StretchScreenSaver) == store::Original)
                settings.sizing.sizing = render::Sizing::Original;
        });
        settings.intervalSeconds = store::DefaultScreenSaverInterval;
        Guarded([&] {
            settings.intervalSeconds =
                std::clamp(reg.ReadInteger(store::ScreenSaverInterval),
                           store::MinScreenSaverInterval, store::MaxScreenSaverInterval);
        });
        Guarded([&] { settings.folder = wallpaper::StoredWallpaperFolder(reg); });
        settings.protection = ReadProtection(reg);
    }
    if (IsBlank(settings.folder))
        settings.folder = wallpaper::FolderListPath(wallpaper::ProgramFolder());
    return settings;
}

} // namespace nimbrel::saver
