#pragma once
// Windows paths taken apart: drive letter and components, in code page 1250.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::platform::portable {

struct DosPath {
    char drive = 0; // upper case
    std::vector<std::string> components;
    bool trailingSeparator = false; // "C:\PICS\" keeps its backslash, as Windows does
};

// The current folder of each drive, for relative paths.
struct CurrentFolders {
    char currentDrive = 'C';
    std::function<std::vector<std::string>(char drive)> folderOf;
};

// GetFullPathName's rules: "C:\A", "C:A" (relative to C:'s current folder), "\A" (root of
// the current drive), "A" (current folder); "\" and "/" both separate; "." and ".." are
// resolved, never above the root; trailing dots and spaces of a name are dropped.
// Nothing for an empty path or a UNC path (\\server\share), which this layer has not.
std::optional<DosPath> AbsoluteDosPath(std::string_view path, const CurrentFolders& current);

// "C:\PICS\SUNSET.JPG"; the root is "C:\".
std::string FormatDosPath(const DosPath& path);

// True for a name that Windows refuses in a file name (wildcards, <>:"| and controls).
bool HasInvalidNameCharacter(std::string_view name);

} // namespace nimbrel::platform::portable
