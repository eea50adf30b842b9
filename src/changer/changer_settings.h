#pragma once
// What the changer takes from the settings store, read with the dialog's defaults and bounds.
#include "render/picture_sizing.h"

#include <optional>
#include <string>

namespace nimbrel::changer {

// The sizing types are the renderer's, shared with the screen saver.
using render::Placement;
using render::Sizing;
using render::WallpaperSizing;

struct ChangerSettings {
    std::string folder; // Windows path, as the dialog's folder list holds it
    WallpaperSizing sizing;
    int intervalMinutes = 60;
    bool exitOnChange = false;
    friend bool operator==(const ChangerSettings&, const ChangerSettings&) = default;
};

// The settings as the store holds them now; a value that cannot be read takes the dialog's
// default. Nothing when the store itself cannot be opened (damaged, locked, unreadable):
// the caller keeps what it read before.
std::optional<ChangerSettings> ReadChangerSettings();

// The wallpaper folder when the store names none: the folder of the program's own file.
std::string ProgramFolderFallback();

} // namespace nimbrel::changer
