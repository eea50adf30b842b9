#pragma once
// The backend's view of the environment: paths made absolute with the per-drive current
// folders and resolved to host paths through the drive table. Every call may raise
// EnvironmentError for a bad drives table.
#include "platform/portable/dos_path.h"

#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::platform::portable {

std::optional<DosPath> Absolute(std::string_view windowsPath);

struct ResolvedPath {
    std::string host;
    bool parentExists = false; // the folder holding the last component exists
};
// Nothing for a drive that does not exist.
std::optional<ResolvedPath> Resolve(const DosPath& path);

std::string DriveLetters();

// The current drive's current folder, and moving it (the drive becomes the current one).
DosPath CurrentFolder();
void SetCurrentFolder(const DosPath& path);

} // namespace nimbrel::platform::portable
