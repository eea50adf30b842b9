// nimbrel-tool expand IN OUT: one compressed (NWP) file into its expanded file.
#include "archive/archive.h"
#include "archive/bitmap_completeness.h"
#include "tools/command.h"

#include <cstdio>

namespace nimbrel::tool {
namespace {

int RunExpand(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Usage();
    // The container cannot tell a cut stream from a whole one, but the picture it holds
    // can: the expansion is kept either way, with a warning for a bitmap that is not whole.
    bool completeBitmap = true;
    try {
        DecompressFile(args[0], args[1], [&completeBitmap](const TExpandedFile& expanded) {
            completeBitmap = IsCompleteBitmap(expanded.head, expanded.size);
        });
    } catch (const EArchive& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    if (!completeBitmap)
        std::fprintf(stderr, "Warning: \"%s\" is not a complete bitmap.\n", args[1].c_str());
    return 0;
}

const bool registered = RegisterCommand({"expand", "  nimbrel-tool expand IN OUT\n", RunExpand});

} // namespace
} // namespace nimbrel::tool
