#include "changer/win32/win32_desktop.h"

#include "changer/win32/windows_api.h"
#include "sysutil/exception.h"

#include <cstring>
#include <string>

namespace nimbrel::changer {
namespace {

struct MonitorSearch {
    int originX = 0;
    int originY = 0;
    std::vector<MonitorRect> monitors;
};

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT area, LPARAM data) {
    auto& search = *reinterpret_cast<MonitorSearch*>(data);
    // The wallpaper's pixel (0, 0) is the virtual screen's top-left corner.
    search.monitors.push_back({area->left - search.originX, area->top - search.originY,
                               area->right - area->left, area->bottom - area->top});
    return TRUE;
}

constexpr const char* DesktopProfileKey = "Control Panel\\Desktop";

void SetProfileText(HKEY key, const char* name, const char* value) {
    const LONG result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                       static_cast<DWORD>(std::strlen(value) + 1));
    if (result != ERROR_SUCCESS)
        throw Exception(std::string("cannot write the desktop's ") + name + " (system error " +
                        std::to_string(result) + ")");
}

void SetStyle(const WallpaperStyle& style) {
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, DesktopProfileKey, 0, nullptr, 0,
                                        KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        throw Exception("cannot open HKEY_CURRENT_USER\\" + std::string(DesktopProfileKey) +
                        " (system error " + std::to_string(result) + ")");
    try {
        SetProfileText(key, "WallpaperStyle", style.style);
        SetProfileText(key, "TileWallpaper", style.tile);
    } catch (...) {
        RegCloseKey(key);
        throw;
    }
    RegCloseKey(key);
}

} // namespace

WallpaperStyle StyleForScreen(const ScreenLayout& screen) {
    // "22" spans one picture over all monitors (from the virtual screen's corner); a single
    // monitor takes it centred, which for a picture of its size is 1:1 everywhere.
    if (screen.Monitors().size() > 1)
        return {"22", "0"};
    return {"0", "0"};
}

ScreenLayout Win32Desktop::Screen() {
    MonitorSearch search;
    search.originX = GetSystemMetrics(SM_XVIRTUALSCREEN);
    search.originY = GetSystemMetrics(SM_YVIRTUALSCREEN);
    ScreenLayout screen;
    screen.width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (screen.width <= 0 || screen.height <= 0) {
        screen.width = GetSystemMetrics(SM_CXSCREEN);
        screen.height = GetSystemMetrics(SM_CYSCREEN);
        search.originX = search.originY = 0;
    }
    if (screen.width <= 0 || screen.height <= 0)
        throw Exception("the screen's size is not known");
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&search));
    // One monitor that is the whole screen needs no list.
    if (!(search.monitors.size() == 1 &&
          search.monitors.front() == MonitorRect{0, 0, screen.width, screen.height}))
        screen.monitors = std::move(search.monitors);
    return screen;
}

void Win32Desktop::Show(const TBitmap&, const std::string& bitmapFile) {
    SetStyle(StyleForScreen(Screen()));
    std::string path = bitmapFile;
    if (!SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path.data(),
                               SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
        throw Exception("SystemParametersInfo refused " + bitmapFile + " (system error " +
                        std::to_string(GetLastError()) + ")");
}

} // namespace nimbrel::changer
