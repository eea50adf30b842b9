#pragma once
// The X11 root window as a desktop: the wallpaper becomes a pixmap kept by the server after
// the changer's connection ends, named by _XROOTPMAP_ID and ESETROOT_PMAP_ID as other X
// programs and compositors read it, and the previous one is freed. RandR's monitors tell
// where each render goes.
#include "changer/desktop_backend.h"

#include <string>

struct _XDisplay; // Xlib's Display

namespace nimbrel::changer {

class X11RootBackend : public DesktopBackend {
public:
    // The display named by `display` (empty: $DISPLAY). Raises Exception when it cannot be
    // opened.
    explicit X11RootBackend(std::string display = {});
    ~X11RootBackend() override;
    X11RootBackend(const X11RootBackend&) = delete;
    X11RootBackend& operator=(const X11RootBackend&) = delete;
    // The connection held for the session: readable when the server has something to say;
    // when the server ends, reading it ends the program (the session is over).
    int SessionConnection() const;
    void TakeSessionEvents();
    std::string Name() const override { return "X11 root window"; }
    ScreenLayout Screen() override;
    void Show(const TBitmap& wallpaper, const std::string& bitmapFile) override;

private:
    std::string display_;
    ::_XDisplay* session_ = nullptr;
};

} // namespace nimbrel::changer
