#pragma once
// How a picture is sized on a screen: the wallpaper's "StretchWallpaper" values with their
// position, and the screen saver's "StretchScreenSaver" (fitted, or 1:1 centred).
#include <cstdint>

namespace nimbrel::render {

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

} // namespace nimbrel::render
