// nimbrel-tool expand IN OUT: one compressed (NWP) file into its expanded file.
#include "archive/archive.h"
#include "archive/bitmap_completeness.h"
#include "tools/arguments.h"
#include "tools/command.h"
#include "tools/file_checks.h"
#include "tools/output_file.h"
#include "tools/tool_output.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

namespace nimbrel::tool {
namespace {

constexpr char IncompleteText[] =
    "the bitmap inside is not complete (the file is cut short or damaged)";

// The expansion of a whole compressed file held in memory, by the container's codec;
// nothing when the bytes do not start with the container's signature.
std::optional<std::string> Expanded(const std::string& compressed) {
    const std::size_t signatureSize = CompressedFileSignature.size();
    if (compressed.size() < signatureSize ||
        std::memcmp(compressed.data(), CompressedFileSignature.data(), signatureSize) != 0)
        return std::nullopt;
    std::string expanded;
    std::size_t at = signatureSize;
    TLZHCompressor codec;
    codec.OnGetBytes = [&](TLZHCompressor*, void* to, Word count, Word& got) {
        const std::size_t n = std::min<std::size_t>(count, compressed.size() - at);
        std::memcpy(to, compressed.data() + at, n);
        at += n;
        got = static_cast<Word>(n);
    };
    codec.OnPutBytes = [&](TLZHCompressor*, const void* from, Word count, Word&) {
        expanded.append(static_cast<const char*>(from), count);
    };
    codec.Decode();
    return expanded;
}

// Raised by the completeness check of a strict expansion: the target is left as it was.
class EIncomplete : public EArchive {
public:
    EIncomplete() : EArchive(IncompleteText) {}
};

// File to file: the container's own expansion, streamed into a new file beside OUT.
// Answers whether the bitmap inside was complete.
bool ExpandFileToFile(const std::string& inName, const std::string& outName, bool strict) {
    const std::string input = PathArgument(inName);
    const std::string output = PathArgument(outName);
    RequireReadableFile(input, inName);
    CheckOutputFile(output, outName);
    bool complete = true;
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
        if (std::string(error.what()) == CannotWriteOutputMessage)
            throw ToolError(OutputFailureMessage(output, outName, error.Cause()));
        const std::string cause =
            error.Cause() != 0 ? " (" + FileErrorWords(error.Cause()) + ")" : std::string();
        throw ToolError(inName + ": " + Shown(error.what()) + cause);
    }
    return complete;
}

// Standard input or output at either end: the expansion in memory.
bool ExpandThroughMemory(const std::string& inName, const std::string& outName, bool strict) {
    const std::string compressed = ReadInputFile(inName);
    const bool toStandardOutput = IsStandardStream(outName);
    const std::string output = toStandardOutput ? std::string() : PathArgument(outName);
    if (toStandardOutput)
        RefuseBinaryOnTerminal("a bitmap");
    else
        CheckOutputFile(output, outName);
    const std::string inShown = IsStandardStream(inName) ? "standard input" : inName;
    const std::string outShown = toStandardOutput ? "standard output" : outName;

    const std::optional<std::string> expanded = Expanded(compressed);
    if (!expanded)
        throw ToolError(inShown + ": " + NotCompressedFileMessage);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(expanded->data());
    const bool complete =
        IsCompleteBitmap({bytes, std::min<std::size_t>(expanded->size(), TExpandedFile::HeadSize)},
                         expanded->size());
    if (!complete && strict)
        throw ToolError(inShown + ": " + IncompleteText + "; " + outShown + " was not written");
    if (toStandardOutput) {
        WriteOutBytes(expanded->data(), expanded->size());
        FinishOutput();
    } else {
        WriteOutputFile(output, outName, expanded->data(), expanded->size());
    }
    return complete;
}

int RunExpand(const std::vector<std::string>& args) {
    const Options options = ParseOptions(args, {{"--strict"}});
    RequireOperands(options, {"IN", "OUT"});
    const std::string& inName = options.operands[0];
    const std::string& outName = options.operands[1];
    const bool strict = options.Has("--strict");
    const bool throughMemory = IsStandardStream(inName) || IsStandardStream(outName);
    const bool complete = throughMemory ? ExpandThroughMemory(inName, outName, strict)
                                        : ExpandFileToFile(inName, outName, strict);
    if (!complete)
        Warn(IsStandardStream(inName) ? "standard input" : inName,
             std::string(IncompleteText) + "; " +
                 (IsStandardStream(outName) ? "standard output" : outName) + " holds what it gave");
    return 0;
}

const bool registered = RegisterCommand({
    "expand",
    "  nimbrel-tool expand [--strict] IN OUT\n"
    "                                   an NWP file IN into the BMP file OUT (- for standard\n"
    "                                   input or output)\n",
    "options:\n"
    "  --strict   a damaged NWP file whose bitmap is not complete is an error (exit 1)\n"
    "             instead of a warning; OUT is not written then\n"
    "IN and OUT are named as for any program here; a name starting with a drive letter\n"
    "(C:\\PICS\\X.NWP) goes through the drive table of the environment. OUT is written\n"
    "whole or not at all; a bitmap is not written to a terminal.\n"
    "examples:\n"
    "  nimbrel-tool expand ~/old/SUNSET.NWP sunset.bmp\n"
    "  nimbrel-tool expand - - < SUNSET.NWP > sunset.bmp\n",
    RunExpand,
});

} // namespace
} // namespace nimbrel::tool
