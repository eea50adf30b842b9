#pragma once
// The emulated Windows environment: one root folder ($NIMBREL_ROOT, by default
// $XDG_DATA_HOME/nimbrel or ~/.local/share/nimbrel) holding registry.sqlite3, the
// windows/ folder and the drives table.
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::platform::portable {

// The root folder (host path), created on first use.
std::string EnvironmentRoot();
// The host path that a Windows path names (existing components resolved
// case-insensitively, exact match first), or nothing for an unknown drive.
std::optional<std::string> HostPath(std::string_view windowsPath);
// The Windows path of a host path, through the drive table; nothing when no drive holds it.
std::optional<std::string> WindowsPath(std::string_view hostPath);
// Forgets what was read of the environment (root, drive table, current folders), so a
// test can point NIMBREL_ROOT elsewhere.
void ResetEnvironment();

} // namespace nimbrel::platform::portable
