#include "changer/linux/desktop_choice.h"

#include "changer/linux/gsettings_backend.h"
#include "changer/linux/plasma_backend.h"
#include "changer/linux/sway_backend.h"
#include "changer/linux/x11_root_backend.h"
#include "changer/linux/xfconf_backend.h"
#include "platform/files.h"
#include "sysutil/exception.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace nimbrel::changer {
namespace {

struct KnownName {
    std::string_view name;
    DesktopKind kind;
};

// --desktop's names.
constexpr std::array OptionNames = {
    KnownName{"gnome", DesktopKind::Gnome},   KnownName{"cinnamon", DesktopKind::Cinnamon},
    KnownName{"mate", DesktopKind::Mate},     KnownName{"xfce", DesktopKind::Xfce},
    KnownName{"kde", DesktopKind::Plasma},    KnownName{"sway", DesktopKind::Sway},
    KnownName{"swaybg", DesktopKind::Swaybg}, KnownName{"x11", DesktopKind::RootWindow},
};

// What sessions put in $XDG_CURRENT_DESKTOP. The GNOME family keeps GNOME's background
// settings; the wlroots compositors without sway's IPC take swaybg.
constexpr std::array SessionNames = {
    KnownName{"gnome", DesktopKind::Gnome},
    KnownName{"gnome-classic", DesktopKind::Gnome},
    KnownName{"gnome-flashback", DesktopKind::Gnome},
    KnownName{"ubuntu", DesktopKind::Gnome},
    KnownName{"budgie", DesktopKind::Gnome},
    KnownName{"pantheon", DesktopKind::Gnome},
    KnownName{"unity", DesktopKind::Gnome},
    KnownName{"x-cinnamon", DesktopKind::Cinnamon},
    KnownName{"cinnamon", DesktopKind::Cinnamon},
    KnownName{"mate", DesktopKind::Mate},
    KnownName{"xfce", DesktopKind::Xfce},
    KnownName{"kde", DesktopKind::Plasma},
    KnownName{"sway", DesktopKind::Sway},
    KnownName{"hyprland", DesktopKind::Swaybg},
    KnownName{"river", DesktopKind::Swaybg},
    KnownName{"labwc", DesktopKind::Swaybg},
    KnownName{"wayfire", DesktopKind::Swaybg},
    KnownName{"wlroots", DesktopKind::Swaybg},
};

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return lower;
}

template <std::size_t N>
std::optional<DesktopKind> Find(const std::array<KnownName, N>& names, std::string_view name) {
    const std::string lower = Lower(name);
    for (const KnownName& known : names)
        if (known.name == lower)
            return known.kind;
    return std::nullopt;
}

std::string HostFolder(const std::string& windowsPath) {
    return platform::HostPathOfWindowsPath(windowsPath).value_or(windowsPath);
}

} // namespace

std::string DesktopOptionNames() {
    std::string names;
    for (const KnownName& known : OptionNames)
        names += (names.empty() ? "" : ", ") + std::string(known.name);
    return names;
}

std::optional<DesktopKind> DesktopNamed(std::string_view name) {
    return Find(OptionNames, name);
}

DesktopKind DesktopOfSession(std::string_view currentDesktop, bool swaySocket) {
    while (!currentDesktop.empty()) {
        const std::size_t colon = currentDesktop.find(':');
        if (const auto kind = Find(SessionNames, currentDesktop.substr(0, colon)))
            return *kind;
        currentDesktop = colon == std::string_view::npos ? "" : currentDesktop.substr(colon + 1);
    }
    return swaySocket ? DesktopKind::Sway : DesktopKind::RootWindow;
}

std::unique_ptr<DesktopBackend> MakeDesktop(DesktopKind kind, X11RootBackend* root,
                                            const ChangerPlaces& places, MessageSink say) {
    const std::string folder = HostFolder(places.CacheFolder()) + "/DESKTOP";
    const DesktopFiles bmpFiles(folder, DesktopFileFormat::Bmp);
    const DesktopFiles pngFiles(folder, DesktopFileFormat::Png);
    ScreenSource screen = [root] {
        if (!root)
            throw Exception("no X display tells the screen's size");
        return root->Screen();
    };
    std::unique_ptr<DesktopBackend> desktop;
    switch (kind) {
    case DesktopKind::Gnome:
        desktop = std::make_unique<GSettingsDesktop>(GnomeBackground, screen, bmpFiles);
        break;
    case DesktopKind::Cinnamon:
        desktop = std::make_unique<GSettingsDesktop>(CinnamonBackground, screen, bmpFiles);
        break;
    case DesktopKind::Mate:
        desktop = std::make_unique<GSettingsDesktop>(MateBackground, screen, bmpFiles);
        break;
    case DesktopKind::Xfce:
        desktop = std::make_unique<XfconfDesktop>(screen, bmpFiles);
        break;
    case DesktopKind::Plasma:
        desktop = std::make_unique<PlasmaDesktop>(screen, bmpFiles);
        break;
    case DesktopKind::Sway: {
        const char* socket = std::getenv("SWAYSOCK");
        desktop = std::make_unique<SwayDesktop>(socket ? socket : "", pngFiles);
        break;
    }
    case DesktopKind::Swaybg:
        desktop = std::make_unique<SwaybgDesktop>(pngFiles, folder + "/swaybg.pid");
        break;
    case DesktopKind::RootWindow:
        if (!root)
            throw Exception("no X display, and no desktop of another kind was named");
        return std::make_unique<FallbackDesktop>(nullptr, *root, std::move(say));
    }
    if (!root)
        return desktop;
    return std::make_unique<FallbackDesktop>(std::move(desktop), *root, std::move(say));
}

FallbackDesktop::FallbackDesktop(std::unique_ptr<DesktopBackend> desktop, DesktopBackend& fallback,
                                 MessageSink say)
    : desktop_(std::move(desktop)), fallback_(fallback), say_(std::move(say)) {}

std::string FallbackDesktop::Name() const {
    return desktop_ && lastProblem_.empty() ? desktop_->Name() : fallback_.Name();
}

ScreenLayout FallbackDesktop::Screen() {
    if (desktop_) {
        try {
            return desktop_->Screen();
        } catch (const std::exception& error) {
            Unreachable(error);
        }
    }
    return fallback_.Screen();
}

void FallbackDesktop::Show(const TBitmap& wallpaper, const std::string& bitmapFile) {
    if (desktop_) {
        try {
            desktop_->Show(wallpaper, bitmapFile);
            Reached();
            return;
        } catch (const std::exception& error) {
            Unreachable(error);
        }
    }
    fallback_.Show(wallpaper, bitmapFile);
}

void FallbackDesktop::Unreachable(const std::exception& error) {
    const std::string problem = "the " + desktop_->Name() + " cannot be reached (" + error.what() +
                                "); the wallpaper goes to the " + fallback_.Name() + " instead";
    if (problem != lastProblem_)
        say_(problem);
    lastProblem_ = problem;
}

void FallbackDesktop::Reached() {
    if (!lastProblem_.empty())
        say_("the " + desktop_->Name() + " takes the wallpaper again");
    lastProblem_.clear();
}

} // namespace nimbrel::changer
