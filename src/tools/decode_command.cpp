// nimbrel-tool decode IN OUT.bmp: a JPEG file decoded as the dialog's preview decodes it,
// written as a BMP file (8 bits with its palette, or 24 bits).
#include "tools/command.h"

#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"

namespace nimbrel::tool {
namespace {

int RunDecode(const std::vector<std::string>& args) {
    if (args.size() != 2)
        return Usage();
    SetDefaultDepth();
    TJPEGImage picture;
    picture.LoadFromFile(args[0]);
    TBitmap& bitmap = picture.DecodeBitmap();
    // The bitmap replaces OUT only once it is whole: a failure leaves OUT as it was and
    // nothing behind.
    bitmap.SaveToFile(args[1]);
    return 0;
}

const bool registered = RegisterCommand({"decode", "  decode IN OUT.bmp\n", RunDecode});

} // namespace
} // namespace nimbrel::tool
