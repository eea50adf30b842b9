#include "changer/changer_settings.h"

#include "platform/registry.h"
#include "platform/system.h"
#include "settings/registry_accessor.h"
#include "settings/store_values.h"
#include "sysutil/text_routines.h"
#include "wallpaper_folder/chosen_folder.h"
#include "wallpaper_folder/folder_listing.h"

#include <algorithm>
#include <exception>

namespace nimbrel::changer {
namespace {

// A larger "Resize" size than any screen shows is cut anyway; the bound keeps the scale sane.
constexpr int MaxResizeSide = 32767;

template <class Read> void Guarded(Read read) {
    try {
        read();
    } catch (const std::exception&) {
        // the default stays, as in the dialog
    }
}

WallpaperSizing ReadSizing(const TRegistry& reg) {
    WallpaperSizing sizing;
    Guarded([&] {
        const std::string mode = reg.ReadString(store::StretchWallpaper);
        if (mode == store::Original)
            sizing.sizing = Sizing::Original;
        else if (mode == store::Resize)
            sizing.sizing = Sizing::Resize;
    });
    if (sizing.sizing == Sizing::FitToScreen)
        return sizing;
    // The dialog reads these three as one group: a failure leaves what the mode gives.
    Guarded([&] {
        const int width = reg.ReadInteger(store::StretchWallpaperWidth);
        const int height = reg.ReadInteger(store::StretchWallpaperHeight);
        const int position = reg.ReadInteger(store::StretchWallpaperPosition);
        sizing.width = std::clamp(width, 0, MaxResizeSide);
        sizing.height = std::clamp(height, 0, MaxResizeSide);
        if (position >= static_cast<int>(Placement::Center) &&
            position <= static_cast<int>(Placement::BottomRight))
            sizing.placement = static_cast<Placement>(position);
    });
    // "Original" places the picture centred when no position is stored; a resize to nothing
    // shows the picture at its own size.
    if (sizing.sizing == Sizing::Resize && (sizing.width == 0 || sizing.height == 0))
        sizing.sizing = Sizing::Original;
    if (sizing.sizing == Sizing::Original)
        sizing.width = sizing.height = 0;
    return sizing;
}

} // namespace

std::string ProgramFolderFallback() {
    return wallpaper::FolderListPath(wallpaper::ProgramFolder());
}

std::optional<ChangerSettings> ReadChangerSettings() {
    // The changer creates nothing in the store: a missing key is a first run with every
    // default, any other failure to open it a store that cannot be read now.
    {
        platform::RegKey probe;
        const platform::WinError error =
            probe.Open(platform::Hive::CurrentUser, store::SettingsKey);
        if (error == platform::ErrorFileNotFound || error == platform::ErrorPathNotFound) {
            ChangerSettings defaults;
            defaults.folder = ProgramFolderFallback();
            return defaults;
        }
        if (error != platform::ErrorSuccess)
            return std::nullopt;
    }
    TRegistry reg;
    if (!reg.OpenKey(store::SettingsKey, false))
        return std::nullopt;
    ChangerSettings settings;
    settings.sizing = ReadSizing(reg);
    Guarded([&] { settings.exitOnChange = reg.ReadString(store::ExitOnChange) == store::Yes; });
    settings.intervalMinutes = store::DefaultInterval;
    Guarded([&] {
        settings.intervalMinutes =
            std::clamp(reg.ReadInteger(store::Interval), store::MinInterval, store::MaxInterval);
    });
    Guarded([&] { settings.folder = reg.ReadString(store::WallpaperFolder); });
    if (IsBlank(settings.folder))
        settings.folder = ProgramFolderFallback();
    else
        settings.folder = wallpaper::FolderListPath(settings.folder);
    return settings;
}

} // namespace nimbrel::changer
