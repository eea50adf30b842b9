// nimbrel-tool decode IN OUT.bmp: a JPEG file decoded as the dialog's preview decodes it,
// written as a BMP file (8 bits with its palette, or 24 bits).
#include "imaging/bitmap.h"
#include "imaging/jpeg_header.h"
#include "imaging/jpeg_image.h"
#include "imaging/stream.h"
#include "tools/arguments.h"
#include "tools/command.h"
#include "tools/file_checks.h"
#include "tools/jpeg_error_text.h"
#include "tools/output_file.h"
#include "tools/output_file_stream.h"
#include "tools/tool_output.h"

namespace nimbrel::tool {
namespace {

constexpr char EndedEarlyText[] =
    "the JPEG data ends early (the file is cut short); the rest of the picture is grey";

// "JPEG error #53: not a JPEG file": the number as the library gave it, and its meaning.
std::string JpegFailure(const EJPEG& error) {
    std::string text = Shown(error.what());
    const int code = JpegErrorCode(error.what());
    if (code >= 0) {
        const std::string meaning = JpegErrorMeaning(code);
        if (!meaning.empty())
            text += ": " + meaning;
    }
    return text;
}

int RunDecode(const std::vector<std::string>& args) {
    const Options options = ParseOptions(args, {{"--strict"}});
    RequireOperands(options, {"IN", "OUT.bmp"});
    const std::string& inName = options.operands[0];
    const std::string& outName = options.operands[1];
    const bool strict = options.Has("--strict");
    const std::string input = PathArgument(inName);
    const bool toStandardOutput = IsStandardStream(outName);
    const std::string output = toStandardOutput ? std::string() : PathArgument(outName);
    RequireReadableFile(input, inName);
    if (toStandardOutput)
        RefuseBinaryOnTerminal("a bitmap");
    else
        CheckOutputFile(output, outName);

    SetDefaultDepth();
    TJPEGImage picture;
    TBitmap* bitmap = nullptr;
    try {
        picture.LoadFromFile(input);
        bitmap = &picture.DecodeBitmap();
    } catch (const EJPEG& error) {
        throw ToolError(inName + ": " + JpegFailure(error));
    } catch (const EStreamError& error) {
        throw ToolError(inName + ": cannot be read: " + Shown(error.what()));
    }
    const std::string outShown = toStandardOutput ? "standard output" : outName;
    if (picture.DataEndedEarly() && strict)
        throw ToolError(inName + ": " + EndedEarlyText + "; " + outShown + " was not written");
    if (toStandardOutput) {
        TMemoryStream bytes;
        bitmap->SaveToStream(bytes);
        WriteOutBytes(bytes.Memory(), static_cast<std::size_t>(bytes.Size()));
        FinishOutput();
    } else {
        // Straight to the file: a copy of the whole bitmap in memory first costs as much as
        // a fifth of the decoding.
        TOutputFileStream file(output, outName);
        bitmap->SaveToStream(file);
        file.Finish();
    }
    if (picture.DataEndedEarly())
        Warn(inName, EndedEarlyText);
    return 0;
}

const bool registered = RegisterCommand({
    "decode",
    "  nimbrel-tool decode [--strict] IN OUT.bmp\n"
    "                                   a JPEG file decoded as the preview shows it, as a BMP\n"
    "                                   file (- for standard output, not a terminal)\n",
    "options:\n"
    "  --strict   a JPEG file that ends early is an error (exit 1) instead of a warning;\n"
    "             OUT is not written then\n"
    "example:\n"
    "  nimbrel-tool decode žaba.jpg žaba.bmp\n",
    RunDecode,
});

} // namespace
} // namespace nimbrel::tool
