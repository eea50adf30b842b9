// nimbrel-tool: the command-line companion of the dialog, on the same libraries.
#include "tools/command.h"

#include "product_version.h"
#include "sysutil/exception.h"

#include <cstdio>
#include <exception>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::tool {
namespace {
std::map<std::string, Command>& Commands() {
    static std::map<std::string, Command> commands;
    return commands;
}
} // namespace

bool RegisterCommand(const Command& command) {
    Commands()[command.name] = command;
    return true;
}

int Usage() {
    std::fputs("usage:\n", stderr);
    for (const auto& [name, command] : Commands())
        std::fprintf(stderr, "%s", command.usage);
    return 2;
}

} // namespace nimbrel::tool

int main(int argc, char** argv) {
    using namespace nimbrel::tool;
    if (argc < 2)
        return Usage();
    if (std::string_view(argv[1]) == "--version") {
        std::printf("nimbrel-tool %s\n", nimbrel::kProductVersion);
        return 0;
    }
    auto found = Commands().find(argv[1]);
    if (found == Commands().end())
        return Usage();
    try {
        return found->second.run(std::vector<std::string>(argv + 2, argv + argc));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
