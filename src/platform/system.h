#pragma once
// Facts and switches of the system that the program asks for.
#include <cstdint>
#include <string>

namespace nimbrel::platform {

// GetWindowsDirectory into a buffer of 1024 characters, cut at its first zero; empty on failure.
std::string WindowsDirectory();

struct OsVersion {
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0; // 0 Win32s, 1 Windows 9x, 2 NT; other values elsewhere
};
// The platform id of the emulated environment (its version numbers are the host kernel's).
enum : std::uint32_t { PlatformIdEmulated = 0x4E42 };
// GetVersionEx with the record's size set to 148: false when the call fails.
[[nodiscard]] bool QueryOsVersion(OsVersion& version);

// SystemParametersInfo(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_SENDWININICHANGE).
[[nodiscard]] bool SetScreenSaverActive();

// Lowers the calling thread to the idle priority (THREAD_PRIORITY_IDLE).
bool SetCurrentThreadIdlePriority();

// The full path of the program's own file, as a Windows path (C:\APPS\N\PROGRAM.EXE).
std::string ProgramFilePath();

// The folder where the product's programs keep their own small files (state, lock, log,
// pictures made for a folder they may not write), created if missing: on Windows the
// user's local application data folder followed by \Nimbrel; in the emulated environment
// its root folder. Empty when it cannot be made.
std::string ProgramDataFolder();

// Colour depth of the screen in bits per pixel; 24 or more where there is no screen.
int ScreenBitsPerPixel();

} // namespace nimbrel::platform
