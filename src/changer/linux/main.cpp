// nimbrel-changer: the wallpaper changer of the X11 desktop. It runs for the session, one
// per user, and sets the root window's picture from the wallpaper folder every interval.
#include "changer/changer.h"
#include "changer/linux/linux_wakes.h"
#include "changer/linux/session_lock.h"
#include "changer/linux/x11_root_backend.h"
#include "imaging/picture_formats.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "product_version.h"
#include "wallpaper_folder/folder_listing.h"

#include <csignal>
#include <ctime>
#include <exception>
#include <iostream>
#include <string>
#include <string_view>

namespace nimbrel::changer {
namespace {

constexpr std::string_view Usage = "Usage: nimbrel-changer [--once | --next | --status]\n"
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
    const ChangerState state = ReadChangerState(places);
    if (lock.Held())
        std::cout << "running: no\n";
    else
        std::cout << "running: yes (process " << lock.Holder() << ")\n";
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

int Main(int argc, char** argv) {
    const std::string option = argc > 1 ? argv[1] : "";
    const bool known = option.empty() || option == "--once" || option == "--next" ||
                       option == "--status" || option == "--help" || option == "--version";
    if (!known || argc > 2) {
        std::cerr << "nimbrel-changer: unknown option '" << argv[known ? 2 : 1] << "'\n" << Usage;
        return 2;
    }
    if (option == "--help") {
        std::cout << Usage << '\n' << Help;
        return 0;
    }
    if (option == "--version") {
        std::cout << "nimbrel-changer " << kProductVersion << '\n';
        return 0;
    }

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

    X11RootBackend desktop;
    Changer changer(desktop, places, ChangerClock::FromEnvironment(), Say);
    if (option == "--once")
        return changer.ChangeOnce() ? 0 : 1;
    LinuxWakes wakes(platform::RegistryLocation(), desktop.SessionConnection(),
                     [&desktop] { desktop.TakeSessionEvents(); });
    return changer.Run(wakes);
}

} // namespace
} // namespace nimbrel::changer

int main(int argc, char** argv) {
    try {
        return nimbrel::changer::Main(argc, argv);
    } catch (const std::exception& error) {
        nimbrel::changer::Say(error.what());
        return 1;
    }
}
