#pragma once
// A desktop that keeps a wallpaper setting of its own and draws the picture itself: the
// changer writes the render to files of a new name (DesktopFiles) and hands their names
// over; the desktop's setting is the only thing changed. One render covers the whole screen,
// so the desktop is asked to show it 1:1 (spanned over the monitors, or one part each).
#include "changer/desktop_backend.h"
#include "changer/linux/desktop_files.h"

#include <functional>
#include <string>
#include <vector>

namespace nimbrel::changer {

// Where the screen's size and monitors come from (the X display, or the compositor).
using ScreenSource = std::function<ScreenLayout()>;

class FileDesktop : public DesktopBackend {
public:
    FileDesktop(ScreenSource screen, DesktopFiles files);
    ScreenLayout Screen() override;
    void Show(const TBitmap& wallpaper, const std::string& bitmapFile) override;

protected:
    // Whether the desktop takes one file a monitor (else one file of the whole screen).
    virtual bool FilePerMonitor() const { return false; }
    // Hands the files to the desktop (one, or one per monitor of `screen` in its order);
    // raises Exception with the cause when the desktop does not take them.
    virtual void Hand(const std::vector<std::string>& files, const ScreenLayout& screen) = 0;

private:
    ScreenSource screen_;
    DesktopFiles files_;
    ScreenLayout shownScreen_; // the screen of the render being shown
    bool screenKnown_ = false;
};

} // namespace nimbrel::changer
