#pragma once
// The emulated Windows environment: one root folder ($NIMBREL_ROOT, by default
// $XDG_DATA_HOME/nimbrel or ~/.local/share/nimbrel) holding registry.sqlite3, the
// windows/ folder and the drives table.
//
// The drives table (<root>/drives) maps drive letters to host folders, one "C: /" a line;
// blank lines and lines starting with '#' are skipped. Without the file, C: is "/". When no
// drive holds the root folder, the root appears as one more drive on the highest free
// letter (normally Z:), and so does the program's own folder (then Y:), so that the
// Windows directory and the program file always have a Windows path.
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace nimbrel::platform::portable {

// A drives table that cannot be read or has a bad line; the message names the file and
// line. Raised by the first call that needs the drives.
class EnvironmentError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The root folder (host path), created on first use.
std::string EnvironmentRoot();
// The host path that a Windows path names (existing components resolved
// case-insensitively, exact match first), or nothing for an unknown drive.
std::optional<std::string> HostPath(std::string_view windowsPath);
// The Windows path of a host path, through the drive table; nothing when no drive holds it.
std::optional<std::string> WindowsPath(std::string_view hostPath);
// WindowsPath, but where no drive holds the path the host's root folder is added on the
// highest free letter for this process; nothing when a name below the drive's folder cannot
// be written in code page 1250 or no letter is free.
std::optional<std::string> WindowsPathAddingRoot(std::string_view hostPath);
// Forgets what was read of the environment (root, drive table, current folders), so a
// test can point NIMBREL_ROOT elsewhere.
void ResetEnvironment();

} // namespace nimbrel::platform::portable
