// System facts and switches of the emulated environment.
#include "platform/system.h"

#include "platform/portable/environment.h"
#include "platform/registry.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <pthread.h>
#include <sched.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace nimbrel::platform {

std::string WindowsDirectory() {
    const std::string folder = portable::EnvironmentRoot() + "/windows";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return std::string();
    std::string path = portable::WindowsPath(folder).value_or(std::string());
    // As GetWindowsDirectory into a buffer of 1024 characters.
    return path.size() < 1024 ? path : std::string();
}

std::string ProgramDataFolder() {
    return portable::WindowsPathAddingRoot(portable::EnvironmentRoot()).value_or(std::string());
}

bool QueryOsVersion(OsVersion& version) {
    utsname name{};
    if (::uname(&name) != 0)
        return false;
    // "6.1.0-13-amd64": major, minor and the patch level as the build number.
    unsigned numbers[3] = {0, 0, 0};
    const char* text = name.release;
    for (unsigned& number : numbers) {
        char* end = nullptr;
        const unsigned long value = std::strtoul(text, &end, 10);
        if (end == text)
            break;
        number = static_cast<unsigned>(value);
        text = *end == '.' ? end + 1 : end;
        if (*end != '.')
            break;
    }
    version.majorVersion = numbers[0];
    version.minorVersion = numbers[1];
    version.buildNumber = numbers[2];
    version.platformId = PlatformIdEmulated;
    return true;
}

bool SetScreenSaverActive() {
    RegKey key;
    if (key.Create(Hive::CurrentUser, "Control Panel\\Desktop") != ErrorSuccess)
        return false;
    // A REG_SZ with its terminating zero, as the system writes its own strings.
    static const std::uint8_t active[] = {'1', 0};
    return key.SetValue("ScreenSaveActive", RegSz, active, sizeof active) == ErrorSuccess;
}

bool SetCurrentThreadIdlePriority() {
    sched_param parameters{};
    parameters.sched_priority = 0;
    return ::pthread_setschedparam(::pthread_self(), SCHED_IDLE, &parameters) == 0;
}

std::string ProgramFilePath() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::string();
    return portable::WindowsPath(program.string()).value_or(std::string());
}

int ScreenBitsPerPixel() {
    // NIMBREL_SCREEN_BPP lets a test play an 8-bit screen.
    if (const char* bits = std::getenv("NIMBREL_SCREEN_BPP"); bits && *bits) {
        const int value = std::atoi(bits);
        if (value > 0 && value <= 32)
            return value;
    }
    return 24;
}

} // namespace nimbrel::platform
