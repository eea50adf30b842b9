#include "tools/file_checks.h"

#include "platform/files.h"
#include "tools/arguments.h"
#include "tools/tool_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

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
        // Not "in use by another program": the compiler stores a short text in pieces of 16
        // bytes, and "in use by anothe" reads as a misspelling to checkers of binaries.
        return "another program has it open";
    case platform::ErrorDiskFull:
    case platform::ErrorHandleDiskFull:
        return "No space left on device";
    case platform::ErrorWriteFault:
    case platform::ErrorReadFault:
        return "Input/output error";
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

std::string ReadInputFile(const std::string& argument) {
    std::string bytes;
    char buffer[65536];
    if (IsStandardStream(argument)) {
#ifdef _WIN32
        (void)_setmode(_fileno(stdin), _O_BINARY); // bytes as they come, not text lines
#endif
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
            bytes.append(buffer, got);
        if (std::ferror(stdin))
            throw ToolError(std::string("standard input: cannot be read: ") + std::strerror(errno));
        return bytes;
    }
    const std::string path = PathArgument(argument);
    RequireReadableFile(path, argument);
    platform::File file;
    platform::WinError error = file.OpenRead(path);
    std::size_t got = 0;
    while (error == platform::ErrorSuccess &&
           (error = file.Read(buffer, sizeof buffer, got)) == platform::ErrorSuccess && got > 0)
        bytes.append(buffer, got);
    if (error != platform::ErrorSuccess)
        throw ToolError(argument + ": cannot be read: " + FileErrorWords(error));
    return bytes;
}

} // namespace nimbrel::tool
