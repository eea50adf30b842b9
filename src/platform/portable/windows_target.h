#pragma once
// A Windows path made ready for a file operation: absolute, its names checked, resolved to
// the host path, or the error Windows gives for it.
#include "platform/portable/emulated_environment.h"
#include "platform/win_error.h"

#include <string_view>

namespace nimbrel::platform::portable {

struct WindowsTarget {
    WinError error = ErrorSuccess;
    ResolvedPath resolved;
    DosPath path;
    // The code for a name that is not there: the file, or the folder holding it.
    WinError MissingCode() const {
        return resolved.parentExists ? ErrorFileNotFound : ErrorPathNotFound;
    }
};

WindowsTarget ResolveWindowsTarget(std::string_view windowsPath);

} // namespace nimbrel::platform::portable
