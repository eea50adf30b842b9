#pragma once
// How nimbrel-tool scan writes its findings: aligned text lines for people, JSON lines for
// scripts, and the closing summary.
#include "wallpaper_folder/file_report.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace nimbrel::tool {

struct ScanTally {
    std::size_t pictures = 0;
    std::size_t ready = 0; // requestable or not
    std::size_t toConvert = 0;
    std::size_t damaged = 0;
    std::size_t toRename = 0; // names the dialog cannot open

    void Count(const wallpaper::FileReport& report);
    // 0 when every file is ready, 1 when something is to convert, damaged or to rename.
    int ExitCode() const { return toConvert + damaged + toRename == 0 ? 0 : 1; }
};

// "312 pictures: 298 ready, 9 to convert, 5 damaged", and ", 2 to rename" when there are.
std::string SummaryText(const ScanTally& tally);

// The terminal columns a listed name (code page 1250) takes.
std::size_t NameColumns(const std::string& name);
// One file as a text line; `nameWidth` (in columns) aligns the columns. The host's name ends the
// line where it is not the listed name.
std::string ReportLine(const wallpaper::FileReport& report, std::size_t nameWidth);
// One file as a JSON object on one line.
std::string ReportJson(const wallpaper::FileReport& report);
std::string SummaryJson(const ScanTally& tally);

// A JSON string literal of UTF-8 text.
std::string JsonString(const std::string& utf8);

} // namespace nimbrel::tool
