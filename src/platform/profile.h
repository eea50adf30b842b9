#pragma once
// Private-profile (INI) files with Windows semantics: sections and keys compare
// case-insensitively, a write keeps the rest of the file and creates the file if missing.
// File names are Windows paths in code page 1250.
#include <string>
#include <string_view>

namespace nimbrel::platform {

// WritePrivateProfileString: false on failure.
[[nodiscard]] bool WriteProfileString(std::string_view file, std::string_view section,
                                      std::string_view key, std::string_view value);

// GetPrivateProfileString: the value, or the default when the file, section or key is missing.
std::string GetProfileString(std::string_view file, std::string_view section, std::string_view key,
                             std::string_view defaultValue);

} // namespace nimbrel::platform
