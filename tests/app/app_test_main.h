#pragma once
// The main of a dialog test: the program's own application object (with its standard
// error report and look), then the QtTest run of one test class. Offscreen, the screen is
// 800 x 600 pixels with window frames, so sizes taken from the screen are known.
#include "app/start_up.h"
#include "controls/error_report.h"
#include "controls/qt/application.h"

#include <QByteArray>
#include <QTest>

inline void UseKnownOffscreenScreen() {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" NIMBREL_OFFSCREEN_SCREEN);
}

#define NIMBREL_DIALOG_TEST_MAIN(TestClass)                                                        \
    int main(int argc, char** argv) {                                                              \
        UseKnownOffscreenScreen();                                                                 \
        nimbrel::PrepareProcess();                                                                 \
        nimbrel::qt::TQtApplication application(argc, argv);                                       \
        nimbrel::qt::TQtToolkit toolkit;                                                           \
        nimbrel::InstallToolkit(&toolkit);                                                         \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
