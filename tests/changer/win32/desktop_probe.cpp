// What the Windows desktop says of its wallpaper, for scripts/test-windows-changer: the
// file SPI_GETDESKWALLPAPER gives and the virtual screen's size, one per line.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>

int main() {
    char wallpaper[MAX_PATH + 1] = {};
    if (!SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof wallpaper, wallpaper, 0)) {
        std::fprintf(stderr, "SPI_GETDESKWALLPAPER failed (system error %lu)\n", GetLastError());
        return 1;
    }
    std::printf("wallpaper: %s\n", wallpaper);
    std::printf("screen: %dx%d\n", GetSystemMetrics(SM_CXVIRTUALSCREEN),
                GetSystemMetrics(SM_CYVIRTUALSCREEN));
    return 0;
}
