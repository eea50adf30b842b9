// The main of a dialog test built with the Qt frontend: the program's own application
// object (with its standard error report and look), then the GoogleTest run. Offscreen,
// the screen is 800 x 600 pixels with window frames, so sizes taken from the screen are
// known.
#include "app/start_up.h"
#include "controls/qt/application.h"
#include "controls/toolkit.h"

#include <QByteArray>

#include <gtest/gtest.h>

namespace {

void UseKnownOffscreenScreen() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" NIMBREL_OFFSCREEN_SCREEN);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    UseKnownOffscreenScreen();
    nimbrel::PrepareProcess();
    nimbrel::qt::TQtApplication application(argc, argv);
    nimbrel::qt::TQtToolkit toolkit;
    nimbrel::InstallToolkit(&toolkit);
    const int result = RUN_ALL_TESTS();
    nimbrel::InstallToolkit(nullptr);
    return result;
}
