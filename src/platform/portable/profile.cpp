// Private-profile files of the emulated environment: read and edited as a whole, written
// back atomically.
#include "platform/profile.h"

#include "platform/portable/emulated_environment.h"
#include "platform/portable/host_file.h"
#include "platform/portable/ini_document.h"
#include "platform/system.h"

#include <cerrno>
#include <sys/stat.h>

namespace nimbrel::platform {
namespace {

// A bare file name means a file of the Windows directory, as Windows takes it.
std::optional<std::string> HostFileOf(std::string_view file) {
    std::string windowsPath(file);
    if (windowsPath.find_first_of("\\/:") == std::string::npos)
        windowsPath = WindowsDirectory() + "\\" + windowsPath;
    const auto absolute = portable::Absolute(windowsPath);
    if (!absolute || absolute->components.empty())
        return std::nullopt;
    for (const std::string& name : absolute->components)
        if (portable::HasInvalidNameCharacter(name))
            return std::nullopt;
    const auto resolved = portable::Resolve(*absolute);
    if (!resolved)
        return std::nullopt;
    return resolved->host;
}

} // namespace

bool WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                        std::string_view value) {
    const auto host = HostFileOf(file);
    if (!host)
        return false;
    std::string text;
    if (const int error = portable::ReadHostFile(*host, text); error && error != ENOENT)
        return false;
    // A read-only file stays as it is, as on Windows (the rename would go around it).
    struct stat info {};
    if (::stat(host->c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0)
        return false;
    portable::IniDocument document(text);
    document.Set(section, key, value);
    return portable::ReplaceHostFile(*host, document.Text()) == 0;
}

std::string GetProfileString(std::string_view file, std::string_view section, std::string_view key,
                             std::string_view defaultValue) {
    const auto host = HostFileOf(file);
    std::string text;
    if (!host || portable::ReadHostFile(*host, text) != 0)
        return std::string(defaultValue);
    return portable::IniDocument(text).Get(section, key).value_or(std::string(defaultValue));
}

} // namespace nimbrel::platform
