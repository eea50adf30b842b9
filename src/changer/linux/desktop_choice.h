#pragma once
// Which desktop the changer hands the wallpaper to: the one $XDG_CURRENT_DESKTOP names, or
// the one --desktop=NAME forces; and the root window in its stead when that desktop cannot
// be reached (said once, tried again at every change).
#include "changer/changer.h"
#include "changer/changer_files.h"
#include "changer/desktop_backend.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::changer {

class X11RootBackend;

enum class DesktopKind { Gnome, Cinnamon, Mate, Xfce, Plasma, Sway, Swaybg, RootWindow };

// The names --desktop takes, for the usage text: "gnome, cinnamon, ...".
std::string DesktopOptionNames();
// The desktop of an option's name (case-insensitive), or nothing for an unknown name.
std::optional<DesktopKind> DesktopNamed(std::string_view name);
// The desktop of the session: the first entry of $XDG_CURRENT_DESKTOP's colon-separated list
// that is known; without one, sway when its socket is given, else the root window.
DesktopKind DesktopOfSession(std::string_view currentDesktop, bool swaySocket);

// The backend for `kind`. `root` is the X display's root window when there is a display
// (the screen's size for the desktops that do not tell it, and the fallback); without one
// only the Wayland compositors (sway, swaybg) are reachable. Raises Exception when nothing can show
// a wallpaper.
std::unique_ptr<DesktopBackend> MakeDesktop(DesktopKind kind, X11RootBackend* root,
                                            const ChangerPlaces& places, MessageSink say);

// A desktop with the root window behind it: a failure of the desktop is said (once while it
// lasts) and the wallpaper goes to the root window instead.
class FallbackDesktop : public DesktopBackend {
public:
    FallbackDesktop(std::unique_ptr<DesktopBackend> desktop, DesktopBackend& fallback,
                    MessageSink say);
    std::string Name() const override;
    ScreenLayout Screen() override;
    void Show(const TBitmap& wallpaper, const std::string& bitmapFile) override;

private:
    void Unreachable(const std::exception& error);
    void Reached();

    std::unique_ptr<DesktopBackend> desktop_;
    DesktopBackend& fallback_;
    MessageSink say_;
    std::string lastProblem_;
};

} // namespace nimbrel::changer
