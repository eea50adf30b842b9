// The main of a dialog test built with the Win32 frontend: the program's own preparation
// and toolkit (common controls, DPI awareness), then the GoogleTest run.
// scripts/test-windows runs these under Wine's null display driver, as the frontend's own
// tests: it has real windows, window messages, IsDialogMessage and GDI drawing without any
// X server, and every test makes and destroys dialogs, which without a window manager on
// X would wait for X at each end. What the tests drive goes through window messages, not
// through X input, so they lose nothing by it.
#include "app/start_up.h"
#include "controls/toolkit.h"
#include "controls/win32/toolkit.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// The screen of the Qt tests' offscreen platform, 800 x 600, so that sizes taken from the
// screen are the same on both frontends.
bool UseKnownScreen() {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = 800;
    mode.dmPelsHeight = 600;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsExW(nullptr, &mode, nullptr, CDS_FULLSCREEN, nullptr) ==
               DISP_CHANGE_SUCCESSFUL &&
           GetSystemMetrics(SM_CXSCREEN) == 800 && GetSystemMetrics(SM_CYSCREEN) == 600;
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!UseKnownScreen()) {
        std::fprintf(stderr, "cannot set the screen to 800 x 600 (it is %d x %d)\n",
                     GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return 1;
    }
    nimbrel::PrepareProcess();
    nimbrel::win32::TWin32Toolkit toolkit;
    nimbrel::InstallToolkit(&toolkit);
    const int result = RUN_ALL_TESTS();
    nimbrel::InstallToolkit(nullptr);
    ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr); // the screen as it was
    return result;
}
