#include "controls/win32/dpi.h"

#include "controls/win32/windows_api.h"

namespace nimbrel::win32 {

int ScreenDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        if (screen == nullptr)
            return 96;
        const int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int Scaled(int pixels96) {
    return MulDiv(pixels96, ScreenDpi(), 96);
}

int Unscaled(int pixels) {
    return MulDiv(pixels, 96, ScreenDpi());
}

} // namespace nimbrel::win32
