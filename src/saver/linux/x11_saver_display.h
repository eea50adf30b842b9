#pragma once
// The saver's pictures in one X window: a window the session's screen saver gives
// (-window-id, XSCREENSAVER_WINDOW), the root window, or a window of its own for a try.
// Only the window of its own takes input (a key, a click or a move ends the try): the
// session's screen saver and locker keep the keyboard and the pointer.
#include "render/screen_layout.h"
#include "saver/protection.h"
#include "saver/saver_run.h"
#include "sysutil/exception.h"

#include <X11/Xlib.h>

#include <string>

namespace nimbrel::saver {

// Raised for a display or a window that cannot be used; the message says why.
class EDisplayUnusable : public Exception {
public:
    using Exception::Exception;
};

class X11SaverDisplay : public SaverDisplay {
public:
    enum class Target { GivenWindow, Root, OwnWindow };
    // `window` is used for GivenWindow only.
    X11SaverDisplay(const std::string& displayName, Target target, Window window);
    ~X11SaverDisplay() override;
    X11SaverDisplay(const X11SaverDisplay&) = delete;
    X11SaverDisplay& operator=(const X11SaverDisplay&) = delete;

    // The screen the pictures are rendered for: the window's size, with the monitors RandR
    // reports where the window is the root.
    render::ScreenLayout Layout() const;

    void Show(const Frame& frame) override;
    bool WaitUntil(SaverClock::Clock::time_point deadline) override;

    // Asked from a signal handler: the next wait ends.
    static void RequestStop();

private:
    void Redraw();
    void Handle(const XEvent& event);
    Pixmap BlankPixmap();
    Pixmap PicturePixmap(const TBitmap& picture);

    Display* display_ = nullptr;
    Window window_ = 0;
    Target target_;
    int width_ = 0, height_ = 0, depth_ = 0;
    Visual* visual_ = nullptr;
    GC gc_ = nullptr;
    Pixmap shown_ = 0;
    Atom deleteWindow_ = 0;
    bool gone_ = false;
    Protection input_{std::nullopt}; // the try window ends as an unprotected saver does
};

} // namespace nimbrel::saver
