#pragma once
// Facts about the machine collected once at start-up.
#include <memory>
#include <string>

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
void CollectSystemInfo();

} // namespace nimbrel
