#include "platform/system.h"

#include "platform/win32/windows_api.h"

#include <shlobj.h>

#include <cstring>
#include <string>

namespace nimbrel::platform {

std::string WindowsDirectory() {
    char buffer[1024] = {};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer)
        return {};
    return std::string(buffer, strnlen(buffer, length));
}

std::string ProgramDataFolder() {
    char base[MAX_PATH] = {};
    if (SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                         SHGFP_TYPE_CURRENT, base) != S_OK)
        return {};
    std::string folder = std::string(base) + "\\Nimbrel";
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return {};
    return folder;
}

bool QueryOsVersion(OsVersion& version) {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = 148;
    static_assert(sizeof info == 148, "the version record of the A interface");
    if (!GetVersionExA(&info))
        return false;
    version.majorVersion = info.dwMajorVersion;
    version.minorVersion = info.dwMinorVersion;
    version.buildNumber = info.dwBuildNumber;
    version.platformId = info.dwPlatformId;
    return true;
}

bool SetScreenSaverActive() {
    return SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDWININICHANGE) !=
           FALSE;
}

bool SetCurrentThreadIdlePriority() {
    return SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE) != FALSE;
}

std::string ProgramFilePath() {
    // The answer fills the whole buffer when the path was cut: grow until it fits.
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::string buffer(size, '\0');
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0)
            return {};
        if (length < size) {
            buffer.resize(length);
            return buffer;
        }
    }
}

int ScreenBitsPerPixel() {
    constexpr int withoutScreen = 24;
    const HDC screen = GetDC(nullptr);
    if (!screen)
        return withoutScreen;
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits > 0 ? bits : withoutScreen;
}

} // namespace nimbrel::platform
