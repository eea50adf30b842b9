#pragma once
// The Windows desktop: its screen is the virtual screen of all monitors, and a wallpaper is
// the bitmap file handed to SystemParametersInfo, kept in the user's profile and announced
// to every window, with the profile's style set so that the screen-sized picture shows
// pixel for pixel (centred on one monitor, spanned over several).
#include "changer/desktop_backend.h"

namespace nimbrel::changer {

class Win32Desktop : public DesktopBackend {
public:
    std::string Name() const override { return "Windows desktop"; }
    ScreenLayout Screen() override;
    void Show(const TBitmap& wallpaper, const std::string& bitmapFile) override;
};

// The profile's style values for a picture of the screen's size ("WallpaperStyle",
// "TileWallpaper" of HKCU\Control Panel\Desktop).
struct WallpaperStyle {
    const char* style;
    const char* tile;
};
WallpaperStyle StyleForScreen(const ScreenLayout& screen);

} // namespace nimbrel::changer
