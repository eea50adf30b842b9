#pragma once
// Which folder is the wallpaper folder: the one the settings name, else the program folder
// (where the product's programs lie), as the dialog chooses it when it loads the settings.
#include "settings/registry_accessor.h"

#include <string>
#include <string_view>

namespace nimbrel::wallpaper {

// The folder of a program file, up to and including its last backslash (C:\APPS\N\).
std::string FolderOfProgram(std::string_view programFile);
// The folder of this program's own file.
std::string ProgramFolder();

// The wallpaper folder the open settings key names, as the folder list takes it; blank when
// none is stored. Raises the store's error when the value cannot be read.
std::string StoredWallpaperFolder(const TRegistry& settings);

// The wallpaper folder the settings name, as the folder list takes it, whether or not it is
// there; blank when none is named. Never raises for the store: an unreadable store names
// no folder.
std::string SettingsWallpaperFolder();

// The wallpaper folder of the settings when it names a folder that is there, else the
// program folder; both as the folder list takes them. Never raises for the store.
std::string ChosenWallpaperFolder();

} // namespace nimbrel::wallpaper
