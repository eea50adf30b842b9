// nimbrel-tool list PATTERN: the file lister, one name a line.
#include "platform/files.h"
#include "sysutil/list_files.h"
#include "tools/arguments.h"
#include "tools/command.h"
#include "tools/tool_output.h"

#include <cctype>

namespace nimbrel::tool {
namespace {

// The folder part of a pattern: what must exist for the list to mean anything.
std::string PatternFolder(const std::string& pattern) {
    const std::size_t separator = pattern.find_last_of("\\/");
    if (separator == std::string::npos)
        return pattern.size() >= 2 && pattern[1] == ':' ? pattern.substr(0, 2) : ".";
    std::string folder = pattern.substr(0, separator + 1);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
}

bool HasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

int RunList(const std::vector<std::string>& args) {
    const Options options = ParseOptions(args, {});
    RequireOperands(options, {"PATTERN"});
    const std::string& shown = options.operands[0];
    std::string pattern = PathArgument(shown);
    // A folder named alone is listed by its contents, as ls lists it.
    const bool wholeFolder = !HasWildcard(pattern) && platform::DirectoryExists(pattern);
    if (wholeFolder) {
        if (pattern.back() != '\\' && pattern.back() != '/' && pattern.back() != ':')
            pattern += '\\';
        pattern += '*';
    }
    // The lister answers an empty list for a folder that is not there: here that is an
    // error, not an empty folder.
    const std::string full = platform::FullPathName(pattern);
    const char drive = full.size() >= 2 && full[1] == ':'
                           ? static_cast<char>(std::toupper(static_cast<unsigned char>(full[0])))
                           : 0;
    if (drive != 0 && platform::LogicalDrives().find(drive) == std::string::npos)
        throw ToolError(shown + ": no such drive " + drive + ":");
    if (!platform::DirectoryExists(PatternFolder(pattern)))
        throw ToolError(shown + ": no such folder");
    std::vector<std::string> names;
    ListFiles(pattern, names);
    std::string out;
    for (const std::string& name : names) {
        if (wholeFolder && (name == "." || name == ".."))
            continue;
        out += Shown(name) + "\n";
    }
    WriteOut(out);
    FinishOutput();
    return 0;
}

const bool registered = RegisterCommand({
    "list",
    "  nimbrel-tool list PATTERN|FOLDER the names matching a path pattern, or the names in a\n"
    "                                   folder, one a line\n",
    "PATTERN is a folder and a name with the wildcards * and ? (quote it for the shell),\n"
    "matched without regard to case; a FOLDER alone lists what it holds. Each name is shown\n"
    "in capitals, as the dialog lists it.\n"
    "examples:\n"
    "  nimbrel-tool list 'C:\\PICS\\*.JPG'\n"
    "  nimbrel-tool list ~/pictures/'*.jpg'\n"
    "  nimbrel-tool list ~/pictures\n",
    RunList,
});

} // namespace
} // namespace nimbrel::tool
