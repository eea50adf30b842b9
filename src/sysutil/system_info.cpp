#include "sysutil/system_info.h"

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "sysutil/format_settings.h"
#include "sysutil/text_routines.h"

#include <algorithm>
#include <string_view>

namespace nimbrel {

namespace {

TSystemInfo& Info() {
    static TSystemInfo info;
    return info;
}

} // namespace

std::string OperatingSystemText(const platform::OsVersion* version) {
    if (version == nullptr)
        return "Nedolo\xE8ljiv OS?";
    std::string name;
    switch (version->platformId) {
    case 0:
        name = "Windows 3.1x z Win32s";
        break;
    case 1:
        name = "Windows 95";
        break;
    case 2:
        name = "Windows NT";
        break;
    default:
        break;
    }
    const auto asInt = [](std::uint32_t n) { return NumToText(static_cast<std::int32_t>(n), 0); };
    return name + "   [" + asInt(version->majorVersion) + "." + asInt(version->minorVersion) + "." +
           asInt(version->buildNumber & 0xFFFF) + "]";
}

namespace {

// A string value of an HKLM key opened for reading. Only a text that is there counts: a
// missing key or value, or a value that is not a string, gives "" (a value of another
// type names no path, and start-up must not fail over a foreign program's entry).
std::string MachineString(std::string_view keyPath, std::string_view valueName) {
    platform::RegKey key;
    if (key.Open(platform::Hive::LocalMachine, keyPath) != platform::ErrorSuccess)
        return {};
    platform::RegValue value;
    if (key.QueryValue(valueName, value) != platform::ErrorSuccess)
        return {};
    if (value.type != platform::RegSz && value.type != platform::RegExpandSz)
        return {};
    const auto zero = std::find(value.data.begin(), value.data.end(), std::uint8_t{0});
    return std::string(value.data.begin(), zero);
}

// The folder part of a Windows path, trailing backslash included ("" when there is none).
std::string FolderOf(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

} // namespace

std::string ProgramProfileFile(std::string_view windowsDirectory, std::string_view programFile) {
    std::string name(programFile.substr(programFile.find_last_of("\\/") + 1));
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return std::string(windowsDirectory) + "\\" + name + ".INI";
}

const TSystemInfo& SystemInfo() {
    return Info();
}

void CollectSystemInfo() {
    TSystemInfo& info = Info();
    platform::OsVersion version;
    info.OSName = OperatingSystemText(platform::QueryOsVersion(version) ? &version : nullptr);

    const std::string windowsDirectory = platform::WindowsDirectory();
    const std::string winIni = windowsDirectory + "\\WIN.INI";
    info.WinIni = std::make_unique<TIniFile>(winIni);

    const TFormatSettings& format = FormatSettings();
    info.ThousandSep = format.ThousandSeparator;
    info.DecimalSep = format.DecimalSeparator;
    info.DateSep = format.DateSeparator;
    info.TimeSep = format.TimeSeparator;

    // A present but empty "sList" has no first character: the default separator applies.
    const std::string listSeparator = platform::GetProfileString(winIni, "intl", "sList", ";");
    info.ListSeparator = listSeparator.empty() ? ';' : listSeparator.front();

    // The fixed install path of the system-information program wins over WIN.INI.
    info.MSInfoPath = platform::GetProfileString(winIni, "Microsoft System Info", "MSINFO", "");
    if (!windowsDirectory.empty()) {
        const std::string fixedPath =
            windowsDirectory.substr(0, 1) + ":\\Program Files\\Common Files\\MSInfo\\MSINFO32.EXE";
        if (platform::FileExists(fixedPath))
            info.MSInfoPath = fixedPath;
    }

    info.DatabaseEngineInWinIni =
        !IsBlank(platform::GetProfileString(winIni, "DBAPI", "DLLPATH", ""));
    info.TessalyInWinIni =
        !IsBlank(platform::GetProfileString(winIni, "Tessaly", "RootDirectory", ""));
    info.DatabaseEngineInRegistry =
        !IsBlank(MachineString("SOFTWARE\\Corvane\\Database Engine", "DLLPATH"));
    info.TessalyInRegistry =
        !IsBlank(MachineString("SOFTWARE\\Corvane\\Tessaly\\CurrentVersion", "RootDirectory"));

    const std::string programFile = platform::ProgramFilePath();
    info.ProgIni = std::make_unique<TIniFile>(ProgramProfileFile(windowsDirectory, programFile));
    info.ExePath = FolderOf(programFile);
}

} // namespace nimbrel
