#include "app/start_up.h"

#include "app/help.h"
#include "imaging/picture_formats.h"
#include "sysutil/message_pump.h"
#include "sysutil/screen_cursor.h"
#include "sysutil/setups.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace nimbrel {

void PrepareProcess() {
    RunSetups();
    RegisterPictureFormats();
}

void InstallApplicationHooks() {
    SetMessagePump([] { QCoreApplication::processEvents(); });
    SetScreenCursorHandler([](TCursor cursor) {
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
        if (cursor == TCursor::crHourGlass)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    });
    InstallHelpPresenter();
}

} // namespace nimbrel
