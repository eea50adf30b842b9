#pragma once
// What the changer needs of a desktop: its screen, and a way to show a wallpaper. One
// backend per desktop (the Windows desktop, the X11 root window, and the desktops that keep
// a wallpaper setting of their own, which take the file rather than the pixels).
#include "changer/screen_layout.h"
#include "imaging/bitmap.h"

#include <string>

namespace nimbrel::changer {

class DesktopBackend {
public:
    virtual ~DesktopBackend() = default;
    // For messages: "X11 root window", "Windows desktop"...
    virtual std::string Name() const = 0;
    // The screen as it is now (it may change between two wallpapers).
    virtual ScreenLayout Screen() = 0;
    // Shows the wallpaper: its pixels, and the Windows path of the bitmap file just written
    // with them (platform::HostPathOfWindowsPath gives the host's, for a desktop that takes
    // files). Raises an Exception with the cause on failure.
    virtual void Show(const TBitmap& wallpaper, const std::string& bitmapFile) = 0;
};

} // namespace nimbrel::changer
