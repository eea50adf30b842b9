#include "wallpaper_folder/chosen_folder.h"

#include "platform/files.h"
#include "platform/system.h"
#include "settings/store_values.h"
#include "sysutil/text_routines.h"
#include "wallpaper_folder/folder_listing.h"

#include <new>
#include <stdexcept>

namespace nimbrel::wallpaper {

std::string FolderOfProgram(std::string_view programFile) {
    const auto lastBackslash = programFile.rfind('\\');
    if (lastBackslash == std::string_view::npos)
        return {};
    return std::string(programFile.substr(0, lastBackslash + 1));
}

std::string ProgramFolder() {
    return FolderOfProgram(platform::ProgramFilePath());
}

std::string StoredWallpaperFolder(const TRegistry& settings) {
    return FolderListPath(settings.ReadString(store::WallpaperFolder));
}

std::string SettingsWallpaperFolder() {
    try {
        TRegistry settings;
        if (settings.OpenKey(store::SettingsKey, false))
            return StoredWallpaperFolder(settings);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        // An unreadable store names no folder.
    }
    return {};
}

std::string ChosenWallpaperFolder() {
    const std::string stored = SettingsWallpaperFolder();
    // The dialog's folder list enters a folder only when it is there (a drive alone is its
    // current folder).
    if (!IsBlank(stored) && platform::DirectoryExists(platform::FullPathName(stored)))
        return stored;
    return FolderListPath(ProgramFolder());
}

} // namespace nimbrel::wallpaper
