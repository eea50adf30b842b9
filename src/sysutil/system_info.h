#pragma once
// Facts about the machine collected once at start-up.
#include "platform/system.h"

#include <memory>
#include <string>
#include <string_view>

namespace nimbrel {

// A profile-file object: it only names its file.
struct TIniFile {
    explicit TIniFile(std::string fileName) : FileName(std::move(fileName)) {}
    std::string FileName;
};

struct TSystemInfo {
    std::string OSName;
    std::unique_ptr<TIniFile> WinIni;
    std::unique_ptr<TIniFile> ProgIni;
    std::string ExePath;
    std::string MSInfoPath;
    char ThousandSep = 0;
    char DecimalSep = 0;
    char DateSep = 0;
    char TimeSep = 0;
    char ListSeparator = ';';
    bool DatabaseEngineInRegistry = false;
    bool DatabaseEngineInWinIni = false;
    bool TessalyInRegistry = false;
    bool TessalyInWinIni = false;
};

const TSystemInfo& SystemInfo();
// Fills SystemInfo() from the host: the version, WIN.INI, the HKLM database entries and the
// program file. Runs after FixFormatSettings, whose separators it copies. A missing file,
// key or value, or an entry of an unexpected type, only gives an empty value or a false flag.
void CollectSystemInfo();

// The operating-system text of a version record ("Windows NT   [4.0.1381]"); nullptr
// stands for a failed version query.
std::string OperatingSystemText(const platform::OsVersion* version);
// The program's own profile file: the Windows directory, a backslash and the program
// file's name with its extension replaced by ".INI" (C:\APPS\SETUP.EXE -> <dir>\SETUP.INI).
std::string ProgramProfileFile(std::string_view windowsDirectory, std::string_view programFile);

} // namespace nimbrel
