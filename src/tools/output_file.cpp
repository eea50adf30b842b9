#include "tools/output_file.h"

#include "platform/files.h"
#include "tools/file_checks.h"
#include "tools/tool_output.h"

namespace nimbrel::tool {
namespace {

// Why a file cannot be put at `path`: the platform's error, made precise where it is vague.
std::string OutputFailureWords(const std::string& path, platform::WinError error) {
    const std::uint32_t attributes = platform::FileAttributes(path);
    switch (error) {
    case platform::ErrorFileNotFound:
    case platform::ErrorPathNotFound:
        return "no such folder";
    case platform::ErrorAccessDenied:
        if (attributes != platform::InvalidFileAttributes) {
            if (attributes & platform::FileAttributeDirectory)
                return "is a folder, not a file";
            if (attributes & platform::FileAttributeReadOnly)
                return "the file is read-only";
            return "cannot be replaced (a device or pipe, a file with several names, or a file "
                   "this user may not write)";
        }
        return "access denied (the folder is read-only)";
    default:
        return FileErrorWords(error);
    }
}

[[noreturn]] void Fail(const std::string& path, const std::string& shown,
                       platform::WinError error) {
    throw ToolError(OutputFailureMessage(path, shown, error));
}

} // namespace

std::string OutputFailureMessage(const std::string& path, const std::string& shown,
                                 platform::WinError error) {
    const std::string words = OutputFailureWords(path, error);
    // "is a folder" reads as a sentence of its own; the others are causes.
    return shown + (words.rfind("is a", 0) == 0 ? ": " : ": cannot be written: ") + words;
}

void CheckOutputFile(const std::string& path, const std::string& shown) {
    platform::FileReplacement file;
    if (const platform::WinError error = file.Begin(path))
        Fail(path, shown, error);
    file.Abandon();
}

void WriteOutputFile(const std::string& path, const std::string& shown, const void* bytes,
                     std::size_t size) {
    platform::FileReplacement file;
    std::size_t done = 0;
    platform::WinError error = file.Begin(path);
    if (error == platform::ErrorSuccess)
        error = file.Write(bytes, size, done);
    if (error == platform::ErrorSuccess)
        error = file.Commit();
    if (error != platform::ErrorSuccess)
        Fail(path, shown, error); // the replacement is abandoned: the target is as it was
}

void RefuseBinaryOnTerminal(const std::string& what) {
    if (StandardOutputIsTerminal())
        throw ToolError("standard output is a terminal: " + what +
                        " is not written there; redirect it to a file or a pipe");
}

} // namespace nimbrel::tool
