// nimbrel-changer: the wallpaper changer of the Linux desktops. It runs for the session, one
// per user, and hands the desktop the next picture of the wallpaper folder every interval.
#include "changer/changer.h"
#include "changer/linux/desktop_choice.h"
#include "changer/linux/linux_wakes.h"
#include "changer/linux/session_lock.h"
#include "changer/linux/status_request.h"
#include "changer/linux/x11_root_backend.h"
#include "imaging/picture_formats.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "product_version.h"
#include "settings/store_entries.h"
#include "wallpaper_folder/folder_listing.h"

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <iostream>
#include <malloc.h>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::changer {
namespace {

constexpr std::string_view Usage =
    "Usage: nimbrel-changer [--once | --next | --status | --autostart] [--desktop=NAME]\n"
    "       nimbrel-changer --help | --version\n";

constexpr std::string_view Help =
    "Changes the desktop wallpaper to the next picture of the wallpaper folder at the\n"
    "interval the Nimbrel Extensions settings name, and honours the dialog's \"Change to\"\n"
    "and \"Set as next\" at once. One changer runs per user: a second start asks the\n"
    "running one to change now and ends.\n"
    "\n"
    "  --once     change the wallpaper once and end\n"
    "  --next     ask the running changer to show its next picture now\n"
    "  --status   the picture shown, the next one, and when it comes\n"
    "  --autostart  start as the session's autostart entry does: only while the\n"
    "             dialog's \"Launch Nimbrel on Startup\" is on\n"
    "  --desktop=NAME  the desktop to hand the wallpaper to, in place of the one\n"
    "             $XDG_CURRENT_DESKTOP names: gnome, cinnamon, mate, xfce, kde, sway,\n"
    "             swaybg or x11 (the root window)\n"
    "  --help     this text\n"
    "  --version  the version\n"
    "\n"
    "Exit status: 0 done, 1 failed (said on standard error), 2 a bad option.\n";

void Say(const std::string& message) {
    std::cerr << "nimbrel-changer: " << message << '\n';
}

std::string HostPath(const std::string& windowsPath) {
    return platform::HostPathOfWindowsPath(windowsPath).value_or(windowsPath);
}

std::string LocalTime(long long seconds) {
    const std::time_t when = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&when, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

int PrintStatus(const ChangerPlaces& places, const SessionLock& lock) {
    if (lock.Held()) {
        std::cout << "running: no\n";
    } else {
        std::cout << "running: yes (process " << lock.Holder() << ")\n";
        if (!AskForFreshState(lock.Holder(), HostPath(places.StateFile())))
            std::cout << "(it does not answer; as it last wrote:)\n";
    }
    const ChangerState state = ReadChangerState(places);
    auto shown = [&](const std::string& name) {
        return name.empty() ? std::string("none")
                            : HostPath(wallpaper::JoinPath(state.folder, name));
    };
    std::cout << "current: " << shown(state.current) << '\n';
    std::cout << "next: " << shown(state.next) << '\n';
    if (!lock.Held() && state.nextChangeAt > 0)
        std::cout << "next change: " << LocalTime(state.nextChangeAt) << '\n';
    return 0;
}

struct Options {
    std::string mode; // "", "--once", "--next", "--status", "--autostart", "--help", "--version"
    std::optional<DesktopKind> desktop;
};

// The options, or a message for a bad one.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& problem) {
    constexpr std::string_view DesktopOption = "--desktop=";
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument.starts_with(DesktopOption) && !options.desktop) {
            options.desktop = DesktopNamed(argument.substr(DesktopOption.size()));
            if (!options.desktop) {
                problem = "unknown desktop '" + std::string(argument.substr(DesktopOption.size())) +
                          "' (" + DesktopOptionNames() + ")";
                return std::nullopt;
            }
            continue;
        }
        const bool mode = argument == "--once" || argument == "--next" || argument == "--status" ||
                          argument == "--autostart" || argument == "--help" ||
                          argument == "--version";
        if (!mode || !options.mode.empty()) {
            problem = "unknown option '" + std::string(argument) + "'";
            return std::nullopt;
        }
        options.mode = argument;
    }
    return options;
}

// Whether the session's autostart entry starts the changer: as the dialog's check box reads
// the value (missing: on; "*": off), without writing the store.
bool AutostartOn() {
    const bool on = ReadAutostartWithoutCreating();
    if (!on)
        Say("\"Launch Nimbrel on Startup\" is off in the settings; the changer does not start");
    return on;
}

int Main(int argc, char** argv) {
    std::string problem;
    const std::optional<Options> options = ParseOptions(argc, argv, problem);
    if (!options) {
        std::cerr << "nimbrel-changer: " << problem << '\n' << Usage;
        return 2;
    }
    const std::string& option = options->mode;
    if (option == "--help") {
        std::cout << Usage << '\n' << Help;
        return 0;
    }
    if (option == "--version") {
        std::cout << "nimbrel-changer " << kProductVersion << '\n';
        return 0;
    }
    if (option == "--autostart" && !AutostartOn())
        return 0;

    RegisterPictureFormats();
    const ChangerPlaces places = ChangerPlaces::OfThisUser();
    if (places.dataFolder.empty()) {
        Say("cannot make the changer's data folder");
        return 1;
    }
    SessionLock lock(HostPath(places.LockFile()));
    if (option == "--status")
        return PrintStatus(places, lock);
    if (!lock.Held()) {
        if (lock.Holder() > 0 && ::kill(static_cast<pid_t>(lock.Holder()), SIGUSR1) == 0) {
            Say("a changer runs already (process " + std::to_string(lock.Holder()) +
                "); it changes the wallpaper now");
            return 0;
        }
        Say("another changer holds " + HostPath(places.LockFile()) + " and cannot be reached");
        return 1;
    }
    if (option == "--next") {
        Say("no changer runs; start nimbrel-changer, or change once with --once");
        return 1;
    }

    const char* swaySocket = std::getenv("SWAYSOCK");
    const char* currentDesktop = std::getenv("XDG_CURRENT_DESKTOP");
    const DesktopKind kind = options->desktop.value_or(
        DesktopOfSession(currentDesktop ? currentDesktop : "", swaySocket && *swaySocket));
    // The root window: the screen's size for most desktops, and where the wallpaper goes
    // when a desktop cannot be reached. A Wayland session without Xwayland has none.
    std::unique_ptr<X11RootBackend> root;
    try {
        root = std::make_unique<X11RootBackend>();
    } catch (const std::exception&) {
        if (kind != DesktopKind::Sway && kind != DesktopKind::Swaybg)
            throw;
    }
    const std::unique_ptr<DesktopBackend> desktop = MakeDesktop(kind, root.get(), places, Say);
    Changer changer(*desktop, places, ChangerClock::FromEnvironment(), Say);
    if (option == "--once")
        return changer.ChangeOnce() ? 0 : 1;
    LinuxWakes wakes(platform::RegistryLocation(), root ? root->SessionConnection() : -1,
                     [&root] { root->TakeSessionEvents(); });
    return changer.Run(wakes);
}

} // namespace
} // namespace nimbrel::changer

int main(int argc, char** argv) {
    // The pictures' large buffers go back to the system when freed, not kept for the next
    // change: the changer sleeps small between changes.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    try {
        return nimbrel::changer::Main(argc, argv);
    } catch (const std::exception& error) {
        nimbrel::changer::Say(error.what());
        return 1;
    }
}
