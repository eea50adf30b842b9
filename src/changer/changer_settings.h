#pragma once
// What the changer takes from the settings store, read with the dialog's defaults and bounds.
#include <cstdint>
#include <optional>
#include <string>

namespace nimbrel::changer {

enum class Sizing { FitToScreen, Original, Resize };

// "StretchWallpaperPosition": where a picture that does not fill the screen is placed.
enum class Placement : std::int32_t {
    Center = 0,
    LeftCenter = 1,
    RightCenter = 2,
    TopCenter = 3,
    BottomCenter = 4,
    TopLeft = 5,
    TopRight = 6,
    BottomLeft = 7,
    BottomRight = 8,
};

struct WallpaperSizing {
    Sizing sizing = Sizing::FitToScreen;
    int width = 0; // "Resize" only
    int height = 0;
    Placement placement = Placement::Center;
    friend bool operator==(const WallpaperSizing&, const WallpaperSizing&) = default;
};

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
