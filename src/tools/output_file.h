#pragma once
// A file the user names for a command's output (expand OUT, decode OUT.bmp, scan --sheet):
// checked before the work starts, written whole or not at all, and every failure told with
// its cause.
#include "platform/win_error.h"

#include <cstddef>
#include <string>

namespace nimbrel::tool {

// Raises ToolError naming `shown` when a file cannot be written at `path` (a Windows path):
// no such folder, a folder in its place, read-only, ... Nothing is left behind.
void CheckOutputFile(const std::string& path, const std::string& shown);

// Writes the bytes to `path`, beside it first and in its place only when whole; raises
// ToolError naming `shown` and the cause (a full disk is "No space left on device").
void WriteOutputFile(const std::string& path, const std::string& shown, const void* bytes,
                     std::size_t size);

// The message of a file that could not be put at `path`, named `shown`, with the cause of
// the platform's `error` ("OUT: cannot be written: No space left on device").
std::string OutputFailureMessage(const std::string& path, const std::string& shown,
                                 platform::WinError error);

// Raises ToolError before binary data would go to a terminal, as compressors refuse to:
// `what` is the kind of data ("a bitmap", "a JPEG picture").
void RefuseBinaryOnTerminal(const std::string& what);

} // namespace nimbrel::tool
