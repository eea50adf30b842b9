#include "changer/linux/file_desktop.h"

#include "sysutil/exception.h"

#include <cstdio>

namespace nimbrel::changer {

FileDesktop::FileDesktop(ScreenSource screen, DesktopFiles files)
    : screen_(std::move(screen)), files_(std::move(files)) {}

ScreenLayout FileDesktop::Screen() {
    shownScreen_ = screen_();
    screenKnown_ = true;
    return shownScreen_;
}

void FileDesktop::Show(const TBitmap& wallpaper, const std::string&) {
    // The render was made for the screen last asked for; one made ahead (NEXTPIC.BMP) is
    // shown only for the same screen, so that layout still holds.
    ScreenLayout screen = screenKnown_ ? shownScreen_ : Screen();
    if (wallpaper.Width() != screen.width || wallpaper.Height() != screen.height)
        screen = Screen();
    if (wallpaper.Width() != screen.width || wallpaper.Height() != screen.height)
        throw Exception("the screen changed size while the wallpaper was made");
    const std::vector<MonitorRect> parts =
        FilePerMonitor() ? screen.Monitors()
                         : std::vector<MonitorRect>{{0, 0, screen.width, screen.height}};
    const std::vector<std::string> files = files_.Write(wallpaper, parts);
    try {
        Hand(files, screen);
    } catch (...) {
        // The desktop keeps the files it shows; only the ones it refused go.
        for (const std::string& file : files)
            std::remove(file.c_str());
        throw;
    }
    files_.RemoveAllBut(files);
}

} // namespace nimbrel::changer
