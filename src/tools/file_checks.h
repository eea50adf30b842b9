#pragma once
// The checks that let a command say what is wrong with a file it was given, where the
// libraries' own messages cannot tell a missing file from a damaged one.
#include "platform/win_error.h"

#include <string>

namespace nimbrel::tool {

// Raises ToolError naming `shown` when the file at `path` (a Windows path) is missing,
// is a folder, or cannot be opened for reading.
void RequireReadableFile(const std::string& path, const std::string& shown);

// What a file error means, in a few words ("no such file or folder", "access denied").
std::string FileErrorWords(platform::WinError error);

// The whole of a file argument (named as arguments.h says), or of standard input for "-";
// raises ToolError naming it when it cannot be read.
std::string ReadInputFile(const std::string& argument);

} // namespace nimbrel::tool
