// nimbrel-tool list PATTERN: the file lister, one name a line.
#include "platform/codepage1250.h"
#include "sysutil/list_files.h"
#include "tools/command.h"

#include <cstdio>

namespace nimbrel::tool {
namespace {

int RunList(const std::vector<std::string>& args) {
    if (args.size() != 1 || args[0].empty())
        return Usage();
    std::vector<std::string> names;
    ListFiles(platform::Cp1250FromUtf8(args[0]), names);
    for (const std::string& name : names)
        std::printf("%s\n", platform::Utf8FromCp1250(name).c_str());
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const bool registered = RegisterCommand({
    "list",
    "  nimbrel-tool list PATTERN        the names matching a path pattern (C:\\PICS\\*.JPG)\n",
    RunList,
});

} // namespace
} // namespace nimbrel::tool
