// nimbrel-saver: the product's screen saver as a display program of the Linux sessions'
// screen savers. It shows the wallpaper folder's pictures in the window it is given; the
// session's screen saver decides when it runs and ends it, and the session's locker locks.
#include "imaging/picture_formats.h"
#include "platform/files.h"
#include "product_version.h"
#include "saver/linux/x11_saver_display.h"
#include "saver/saver_run.h"
#include "saver/saver_settings.h"
#include "saver/saver_state.h"
#include "saver/slideshow.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::saver {
namespace {

constexpr std::string_view Usage =
    "Usage: nimbrel-saver [-window-id ID | -root | --window] [-display NAME]\n"
    "       nimbrel-saver --help | --version\n";

constexpr std::string_view Help =
    "Shows the pictures of the Nimbrel Extensions wallpaper folder one after another, at\n"
    "the dialog's screen-saver interval, going on after the picture it showed last. The\n"
    "session's screen saver starts it and ends it; it takes no keyboard or pointer and\n"
    "does not lock: locking the session is the session locker's job, so the dialog's\n"
    "access key and password apply to the Windows screen saver only.\n"
    "\n"
    "  -window-id ID  draw into that window (decimal or 0x hexadecimal), as the session's\n"
    "                 screen saver asks; without an option, $XSCREENSAVER_WINDOW names it\n"
    "  -root          draw into the root window\n"
    "  --window       draw into a window of its own, to try it (the default when no\n"
    "                 window is named); a key, a click or a move of the mouse ends it\n"
    "  -display NAME  the X display, in place of $DISPLAY\n"
    "  --help         this text\n"
    "  --version      the version\n"
    "\n"
    "It writes nothing but its small state file, the picture shown last.\n"
    "Exit status: 0 done, 1 failed (said on standard error), 2 a bad option.\n";

void Say(const std::string& message) {
    std::cerr << "nimbrel-saver: " << message << '\n';
}

struct Options {
    X11SaverDisplay::Target target = X11SaverDisplay::Target::OwnWindow;
    Window window = 0;
    bool targetGiven = false;
    std::string display;
    std::string info; // "--help" or "--version"
};

std::optional<Window> WindowId(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const unsigned long id = std::strtoul(text.c_str(), &end, 0);
    if (errno != 0 || *end != '\0' || id == 0 || text[0] == '-')
        return std::nullopt;
    return static_cast<Window>(id);
}

// Reads the options; a message and nothing on a bad one.
std::optional<Options> ReadOptions(int argc, char** argv) {
    Options options;
    auto setTarget = [&](X11SaverDisplay::Target target, Window window) {
        if (options.targetGiven) {
            Say("give one of -window-id, -root and --window");
            return false;
        }
        options.target = target;
        options.window = window;
        options.targetGiven = true;
        return true;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "--version") {
            options.info = argument;
        } else if (argument == "-window-id" || argument == "--window-id") {
            if (i + 1 >= argc) {
                Say(argument + " needs a window id");
                return std::nullopt;
            }
            const std::optional<Window> id = WindowId(argv[++i]);
            if (!id) {
                Say("not a window id: " + std::string(argv[i]));
                return std::nullopt;
            }
            if (!setTarget(X11SaverDisplay::Target::GivenWindow, *id))
                return std::nullopt;
        } else if (argument == "-root" || argument == "--root") {
            if (!setTarget(X11SaverDisplay::Target::Root, 0))
                return std::nullopt;
        } else if (argument == "--window" || argument == "-window") {
            if (!setTarget(X11SaverDisplay::Target::OwnWindow, 0))
                return std::nullopt;
        } else if (argument == "-display" || argument == "--display") {
            if (i + 1 >= argc) {
                Say(argument + " needs a display name");
                return std::nullopt;
            }
            options.display = argv[++i];
        } else {
            Say("unknown option: " + argument);
            return std::nullopt;
        }
    }
    if (!options.targetGiven) {
        if (const char* given = std::getenv("XSCREENSAVER_WINDOW"); given && *given) {
            const std::optional<Window> id = WindowId(given);
            if (!id) {
                Say("XSCREENSAVER_WINDOW names no window: " + std::string(given));
                return std::nullopt;
            }
            options.target = X11SaverDisplay::Target::GivenWindow;
            options.window = *id;
        }
    }
    return options;
}

// The session's screen saver ends its display program with a signal: the saver ends
// cleanly at its next wait (the signals wait there, blocked everywhere else, so that the
// decoding thread never takes one).
void StopOnSignal(int) {
    X11SaverDisplay::RequestStop();
}

void CatchStopSignals() {
    sigset_t stops;
    sigemptyset(&stops);
    struct sigaction action {};
    action.sa_handler = StopOnSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaddset(&stops, signal);
        sigaction(signal, &action, nullptr);
    }
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
}

int Run(const Options& options) {
    CatchStopSignals();
    RegisterPictureFormats();
    const SaverSettings settings = ReadSaverSettings();
    X11SaverDisplay display(options.display, options.target, options.window);
    if (!platform::DirectoryExists(settings.folder))
        Say("the wallpaper folder " +
            platform::HostPathOfWindowsPath(settings.folder).value_or(settings.folder) +
            " is not there");
    Slideshow slideshow(settings, display.Layout(), SaverStateFile(), Say);
    RunSaver(slideshow, display, SaverClock::FromEnvironment(), settings.intervalSeconds);
    return 0;
}

} // namespace
} // namespace nimbrel::saver

int main(int argc, char** argv) {
    using namespace nimbrel::saver;
    const std::optional<Options> options = ReadOptions(argc, argv);
    if (!options) {
        std::cerr << Usage;
        return 2;
    }
    if (options->info == "--help") {
        std::cout << Usage << '\n' << Help;
        return 0;
    }
    if (options->info == "--version") {
        std::cout << "nimbrel-saver " << nimbrel::kProductVersion << '\n';
        return 0;
    }
    try {
        return Run(*options);
    } catch (const std::exception& error) {
        Say(error.what());
        return 1;
    }
}
