// NIMBREL.EXE: the wallpaper changer of the Windows desktop. Started by the autostart entry
// at logon, it runs windowless for the session, one per user, and sets the desktop's
// wallpaper from the wallpaper folder every interval.
#include "changer/changer.h"
#include "changer/win32/changer_log.h"
#include "changer/win32/program_output.h"
#include "changer/win32/session_instance.h"
#include "changer/win32/win32_desktop.h"
#include "changer/win32/win32_wakes.h"
#include "imaging/picture_formats.h"
#include "platform/console.h"
#include "product_version.h"
#include "wallpaper_folder/folder_listing.h"

#include <ctime>
#include <exception>
#include <memory>
#include <string>
#include <string_view>

namespace nimbrel::changer {
namespace {

constexpr std::string_view Usage = "Usage: NIMBREL.EXE [--once | --next | --status]\n"
                                   "       NIMBREL.EXE --help | --version\n";

constexpr std::string_view Help =
    "Changes the desktop wallpaper to the next picture of the wallpaper folder at the\n"
    "interval the Nimbrel Extensions settings name, and honours the dialog's \"Change to\"\n"
    "and \"Set as next\" at once. One changer runs per user session: a second start asks\n"
    "the running one to change now and ends. The autostart entry starts it at logon.\n"
    "\n"
    "  --once     change the wallpaper once and end\n"
    "  --next     ask the running changer to show its next picture now\n"
    "  --status   the picture shown, the next one, and when it comes\n"
    "  --help     this text\n"
    "  --version  the version\n"
    "\n"
    "Messages go to %LOCALAPPDATA%\\Nimbrel\\CHANGER.LOG (and to the console it was\n"
    "started from, if any).\n"
    "Exit status: 0 done, 1 failed (said in the log), 2 a bad option.\n";

std::unique_ptr<ChangerLog> changerLog;
bool toConsole = false; // a one-shot run: its messages go to the console it came from too

void Say(const std::string& message) {
    if (changerLog)
        changerLog->Write(message);
    // A changer run from a console, or with its output taken, says it there too.
    const std::string line = "NIMBREL.EXE: " + message + "\n";
    if (toConsole || GetStdHandle(STD_ERROR_HANDLE) != nullptr)
        (void)WriteToOutput(OutputStream::Error, line);
}

std::string LocalTime(long long seconds) {
    const std::time_t when = static_cast<std::time_t>(seconds);
    const std::tm* local = std::localtime(&when);
    char text[32] = {};
    if (local != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
    return text;
}

int PrintStatus(const ChangerPlaces& places) {
    const ChangerState state = ReadChangerState(places);
    const bool runs = ChangerRuns();
    auto shown = [&](const std::string& name) {
        return name.empty() ? std::string("none") : wallpaper::JoinPath(state.folder, name);
    };
    std::string text = runs ? "running: yes (process " + std::to_string(state.processId) + ")\n"
                            : std::string("running: no\n");
    text += "current: " + shown(state.current) + "\n";
    text += "next: " + shown(state.next) + "\n";
    if (runs && state.nextChangeAt > 0)
        text += "next change: " + LocalTime(state.nextChangeAt) + "\n";
    text += "log: " + places.LogFile() + "\n";
    ShowText(OutputStream::Output, text);
    return 0;
}

int Main(const std::vector<std::string>& arguments) {
    const std::string option = arguments.empty() ? "" : arguments.front();
    const bool known = option.empty() || option == "--once" || option == "--next" ||
                       option == "--status" || option == "--help" || option == "--version";
    if (!known || arguments.size() > 1) {
        ShowText(OutputStream::Error, "NIMBREL.EXE: unknown option '" + arguments[known ? 1 : 0] +
                                          "'\n" + std::string(Usage));
        return 2;
    }
    if (option == "--help") {
        ShowText(OutputStream::Output, std::string(Usage) + "\n" + std::string(Help));
        return 0;
    }
    if (option == "--version") {
        ShowText(OutputStream::Output, std::string("NIMBREL.EXE ") + kProductVersion + "\n");
        return 0;
    }
    toConsole = !option.empty();

    const ChangerPlaces places = ChangerPlaces::OfThisUser();
    if (places.dataFolder.empty()) {
        Say("cannot make the changer's data folder in the user's profile");
        return 1;
    }
    changerLog = std::make_unique<ChangerLog>(places.LogFile());
    if (option == "--status")
        return PrintStatus(places);

    SessionInstance instance;
    if (!instance.First()) {
        if (instance.AskForChange()) {
            Say("a changer runs already; it changes the wallpaper now");
            return 0;
        }
        Say("a changer runs already and cannot be reached");
        return 1;
    }
    if (option == "--next") {
        Say("no changer runs; start NIMBREL.EXE, or change once with --once");
        return 1;
    }

    RegisterPictureFormats();
    Win32Desktop desktop;
    const ChangerClock clock = ChangerClock::FromEnvironment();
    Changer changer(desktop, places, clock, Say);
    if (option == "--once")
        return changer.ChangeOnce() ? 0 : 1;
    Win32Wakes wakes(instance.ChangeNowEvent(), clock, Say);
    Say("started (" + std::string(kProductVersion) + ")");
    const int status = changer.Run(wakes);
    Say("ended");
    return status;
}

} // namespace
} // namespace nimbrel::changer

int main(int argc, char** argv) {
    try {
        return nimbrel::changer::Main(nimbrel::platform::CommandLineArguments(argc, argv));
    } catch (const std::exception& error) {
        nimbrel::changer::Say(error.what());
        return 1;
    }
}
