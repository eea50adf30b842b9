// The Qt program: start-up facts, the application, the options dialog and its message loop.
#include "app/options_form.h"
#include "app/start_up.h"
#include "controls/error_report.h"
#include "controls/qt/application.h"
#include "controls/qt/screenshot.h"
#include "product_version.h"

#include <QWidget>

#include <cstdio>
#include <exception>
#include <string_view>

int main(int argc, char** argv) {
    // Answered before anything of the dialog exists, so that it needs no display.
    if (argc >= 2 && std::string_view(argv[1]) == "--version") {
        std::printf("nimbrel-ext %s\n", nimbrel::kProductVersion);
        return 0;
    }
    nimbrel::PrepareProcess();
    nimbrel::qt::TQtApplication application(argc, argv);
    nimbrel::qt::TQtToolkit toolkit;
    nimbrel::InstallToolkit(&toolkit);
    try {
        nimbrel::TOptionsForm form({application.ProgramArguments(), {}}, toolkit);
        form.Show();
        if (auto* window = dynamic_cast<QWidget*>(form.Peer()))
            nimbrel::QuitWhenShownIfAsked(*window);
        toolkit.RunMessageLoop(form);
    } catch (...) {
        // Only the dialog's creation can end here; the loop reports its own errors.
        nimbrel::ShowException(std::current_exception());
        return 1;
    }
    return 0;
}
