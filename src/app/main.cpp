// The Qt program: start-up facts, the application, the options dialog and its message loop.
#include "app/options_form.h"
#include "app/start_up.h"
#include "controls/qt/application.h"
#include "controls/qt/screenshot.h"
#include "product_version.h"

#include <QWidget>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char HelpText[] =
    "usage: nimbrel-ext [/SETTINGS | /SCREENSAVER | /NWPSUPPORT]\n"
    "       nimbrel-ext --help | --version\n"
    "The settings dialog of the Nimbrel wallpaper changer and screen saver. The first\n"
    "argument alone chooses the first page, written exactly so: /SETTINGS the Wallpaper\n"
    "page (also without an argument), /SCREENSAVER the Screen Saver page, /NWPSUPPORT the\n"
    "NWP support page; any other argument is ignored.\n"
    "environment:\n"
    "  NIMBREL_ROOT   the folder of the settings store (default ~/.local/share/nimbrel)\n"
    "exit status: 0 when the dialog was closed, 1 when it could not be shown\n";

// What Qt says while it connects to the display, held back: a failure there is told in one
// line of ours instead of Qt's page of advice and an abort.
struct HeldMessage {
    QtMsgType type;
    std::string category;
    QString text;
};
std::vector<HeldMessage> heldMessages;
QtMessageHandler qtHandler = nullptr;

std::string NoDisplayWords() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (platform != nullptr && *platform != '\0')
        return std::string("cannot start on the display of QT_QPA_PLATFORM=") + platform;
    if ((display == nullptr || *display == '\0') && (wayland == nullptr || *wayland == '\0'))
        return "no display: neither DISPLAY nor WAYLAND_DISPLAY is set (run it in a desktop "
               "session, or under xvfb-run)";
    return std::string("cannot open the display ") +
           (display != nullptr && *display != '\0' ? display : wayland);
}

void HoldStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "nimbrel-ext: %s\n", NoDisplayWords().c_str());
        std::_Exit(1);
    }
    heldMessages.push_back({type, context.category ? context.category : "", text});
}

// Once the display is open, what Qt said meanwhile goes out as it would have.
void ReleaseStartupMessages() {
    qInstallMessageHandler(qtHandler);
    for (const HeldMessage& message : heldMessages) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        if (qtHandler)
            qtHandler(message.type, context, message.text);
        else
            std::fprintf(stderr, "%s: %s\n", message.category.c_str(),
                         message.text.toLocal8Bit().constData());
    }
    heldMessages.clear();
}

} // namespace

int main(int argc, char** argv) {
    // Answered before anything of the dialog exists, so that they need no display.
    const std::string_view first = argc >= 2 ? argv[1] : "";
    if (first == "--version") {
        std::printf("nimbrel-ext %s\n", nimbrel::kProductVersion);
        return 0;
    }
    if (first == "--help" || first == "-h") {
        std::fputs(HelpText, stdout);
        return 0;
    }
    nimbrel::PrepareProcess();
    qtHandler = qInstallMessageHandler(HoldStartupMessage);
    nimbrel::qt::TQtApplication application(argc, argv);
    ReleaseStartupMessages();
    nimbrel::qt::TQtToolkit toolkit;
    return nimbrel::RunOptionsDialog(toolkit, application.ProgramArguments(),
                                     [](nimbrel::TOptionsForm& form) {
                                         if (auto* window = dynamic_cast<QWidget*>(form.Peer()))
                                             nimbrel::qt::QuitWhenShownIfAsked(*window);
                                     });
}
