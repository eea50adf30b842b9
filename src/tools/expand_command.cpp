// nimbrel-tool expand IN OUT: one compressed (NWP) file into its expanded file.
#include "archive/archive.h"
#include "tools/command.h"

#include <cstdio>

namespace nimbrel::tool {
namespace {

int RunExpand(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Usage();
    try {
        DecompressFile(args[0], args[1]);
    } catch (const EArchive& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}

const bool registered = RegisterCommand({"expand", "  nimbrel-tool expand IN OUT\n", RunExpand});

} // namespace
} // namespace nimbrel::tool
