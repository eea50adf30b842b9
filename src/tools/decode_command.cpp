// nimbrel-tool decode IN OUT.bmp: a JPEG file decoded as the dialog's preview decodes it,
// written as a BMP file (8 bits with its palette, or 24 bits).
#include "tools/command.h"

#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "platform/files.h"

namespace nimbrel::tool {
namespace {

int RunDecode(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Usage();
    SetDefaultDepth();
    TJPEGImage picture;
    picture.LoadFromFile(args[0]);
    TBitmap& bitmap = picture.DecodeBitmap();
    try {
        bitmap.SaveToFile(args[1]);
    } catch (...) {
        // No half-written BMP stays behind.
        platform::DeleteFile(args[1]);
        throw;
    }
    return 0;
}

const bool registered = RegisterCommand({"decode", "  decode IN OUT.bmp\n", RunDecode});

} // namespace
} // namespace nimbrel::tool
