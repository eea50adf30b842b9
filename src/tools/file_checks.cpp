#include "tools/file_checks.h"

#include "platform/files.h"
#include "tools/tool_output.h"

namespace nimbrel::tool {

std::string FileErrorWords(platform::WinError error) {
    switch (error) {
    case platform::ErrorFileNotFound:
    case platform::ErrorPathNotFound:
        return "no such file";
    case platform::ErrorInvalidDrive:
        return "no such drive";
    case platform::ErrorAccessDenied:
        return "access denied";
    case platform::ErrorSharingViolation:
        return "in use by another program";
    case platform::ErrorDiskFull:
    case platform::ErrorHandleDiskFull:
        return "the disk is full";
    case platform::ErrorDirectory:
        return "a folder, not a file";
    default:
        return "system error " + std::to_string(error);
    }
}

void RequireReadableFile(const std::string& path, const std::string& shown) {
    const std::uint32_t attributes = platform::FileAttributes(path);
    if (attributes == platform::InvalidFileAttributes)
        throw ToolError(shown + ": no such file");
    if (attributes & platform::FileAttributeDirectory)
        throw ToolError(shown + ": is a folder, not a file");
    platform::File file;
    if (const platform::WinError error = file.OpenRead(path))
        throw ToolError(shown + ": cannot be read: " + FileErrorWords(error));
}

} // namespace nimbrel::tool
