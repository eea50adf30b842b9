// nimbrel-tool expand IN OUT: one compressed (NWP) file into its expanded file.
#include "archive/archive.h"
#include "archive/bitmap_completeness.h"
#include "platform/files.h"
#include "tools/arguments.h"
#include "tools/command.h"
#include "tools/file_checks.h"
#include "tools/tool_output.h"

#include <algorithm>
#include <array>
#include <string>

namespace nimbrel::tool {
namespace {

constexpr char IncompleteText[] =
    "the bitmap inside is not complete (the file is cut short or damaged)";

// Raised by the completeness check of a strict expansion: the target is left as it was.
class EIncomplete : public EArchive {
public:
    EIncomplete() : EArchive(IncompleteText) {}
};

// The expansion of `input` into memory, for standard output. Answers the container's
// message for a file that is not one, empty for success.
std::string ExpandIntoMemory(const std::string& input, std::string& expanded) {
    platform::File file;
    if (file.OpenRead(input) != platform::ErrorSuccess)
        return NotCompressedFileMessage;
    std::array<std::uint8_t, 4> signature{};
    std::size_t have = 0;
    while (have < signature.size()) {
        std::size_t done = 0;
        if (file.Read(signature.data() + have, signature.size() - have, done) !=
                platform::ErrorSuccess ||
            done == 0)
            return NotCompressedFileMessage;
        have += done;
    }
    if (signature != CompressedFileSignature)
        return NotCompressedFileMessage;
    bool readFailed = false;
    TLZHCompressor codec;
    codec.OnGetBytes = [&](TLZHCompressor*, void* to, Word count, Word& got) {
        std::size_t done = 0;
        if (readFailed || file.Read(to, count, done) != platform::ErrorSuccess) {
            readFailed = true;
            done = 0;
        }
        got = static_cast<Word>(std::min<std::size_t>(done, count));
    };
    codec.OnPutBytes = [&](TLZHCompressor*, const void* from, Word count, Word&) {
        expanded.append(static_cast<const char*>(from), count);
    };
    codec.Decode();
    // An input that cannot be read to its end is not expanded, as for a file.
    return readFailed ? NotCompressedFileMessage : "";
}

int RunExpand(const std::vector<std::string>& args) {
    const Options options = ParseOptions(args, {"--strict"});
    if (options.operands.size() != 2)
        throw UsageError("expand takes IN and OUT");
    const std::string& inName = options.operands[0];
    const std::string& outName = options.operands[1];
    const bool strict = options.Has("--strict");
    const std::string input = PathArgument(inName);
    RequireReadableFile(input, inName);

    bool complete = true;
    if (IsStandardStream(outName)) {
        std::string expanded;
        if (const std::string failure = ExpandIntoMemory(input, expanded); !failure.empty())
            throw ToolError(inName + ": " + failure);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(expanded.data());
        complete =
            IsCompleteBitmap({bytes, std::min<std::size_t>(expanded.size(), 64)}, expanded.size());
        if (!complete && strict)
            throw ToolError(inName + ": " + IncompleteText);
        WriteOutBytes(expanded.data(), expanded.size());
        FinishOutput();
    } else {
        const std::string output = PathArgument(outName);
        try {
            // The container cannot tell a cut stream from a whole one, but the picture it
            // holds can: kept with a warning, or refused when strict.
            DecompressFile(input, output, [&](const TExpandedFile& expanded) {
                complete = IsCompleteBitmap(expanded.head, expanded.size);
                if (!complete && strict)
                    throw EIncomplete();
            });
        } catch (const EIncomplete&) {
            throw ToolError(inName + ": " + IncompleteText + "; " + outName + " was not written");
        } catch (const EArchive& error) {
            if (std::string(error.what()) != CannotWriteOutputMessage)
                throw ToolError(inName + ": " + Shown(error.what()));
            // The container's one text for every write failure; a folder is told apart.
            if (platform::DirectoryExists(output))
                throw ToolError(outName + ": is a folder, not a file");
            throw ToolError(outName + ": " + Shown(error.what()));
        }
    }
    if (!complete)
        Warn(inName, std::string(IncompleteText) + "; " +
                         (IsStandardStream(outName) ? "standard output" : outName) +
                         " holds what it gave");
    return 0;
}

const bool registered = RegisterCommand({
    "expand",
    "  nimbrel-tool expand [--strict] IN OUT\n"
    "                                   an NWP file IN into the BMP file OUT (- for standard "
    "output)\n",
    "options:\n"
    "  --strict   a damaged NWP file whose bitmap is not complete is an error (exit 1)\n"
    "             instead of a warning; OUT is not written then\n"
    "IN and OUT are named as for any program here; a name starting with a drive letter\n"
    "(C:\\PICS\\X.NWP) goes through the drive table of the environment.\n"
    "example:\n"
    "  nimbrel-tool expand ~/old/SUNSET.NWP sunset.bmp\n",
    RunExpand,
});

} // namespace
} // namespace nimbrel::tool
