// The program: start-up facts, the application, the options dialog and its message loop.
#include "app/error_report.h"
#include "app/help.h"
#include "app/options_form.h"
#include "app/screenshot.h"
#include "controls/qt_text.h"
#include "imaging/picture_formats.h"
#include "sysutil/message_pump.h"
#include "sysutil/screen_cursor.h"
#include "sysutil/setups.h"

#include <QCursor>
#include <QGuiApplication>

#include <exception>

namespace {

void InstallApplicationHooks() {
    nimbrel::SetMessagePump([] { QCoreApplication::processEvents(); });
    nimbrel::SetScreenCursorHandler([](nimbrel::TCursor cursor) {
        QGuiApplication::restoreOverrideCursor();
        if (cursor == nimbrel::TCursor::crHourGlass)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    });
    nimbrel::InstallHelpPresenter();
}

std::vector<std::string> ArgumentsAfterProgramName() {
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i)
        arguments.push_back(nimbrel::FromQString(all[i]));
    return arguments;
}

} // namespace

int main(int argc, char** argv) {
    // Format settings, then the system facts, then the picture formats, before any window.
    nimbrel::RunSetups();
    nimbrel::RegisterPictureFormats();

    nimbrel::TApplication application(argc, argv);
    InstallApplicationHooks();
    try {
        nimbrel::TOptionsForm form({ArgumentsAfterProgramName(), {}});
        form.show();
        nimbrel::QuitWhenShownIfAsked(form);
        application.exec();
    } catch (...) {
        // Only the dialog's creation can end here; the loop reports its own errors.
        nimbrel::ShowException(std::current_exception());
        return 1;
    }
    return 0;
}
