// Arbitrary bytes loaded and decoded as a JPEG picture, as the preview does: any outcome but
// an EJPEG / stream error is a fault, and the sanitizers watch every row written.
#include "imaging/jpeg_image.h"

#include <cstddef>
#include <cstdint>

using namespace nimbrel;

namespace {
// Sizes past this would only measure the allocator (a 65500 x 65500 header is legal).
constexpr std::int64_t MaxPixels = 4'000'000;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte picks the settings; the rest is the file.
    const std::uint8_t options = data[0];
    TJPEGDefaults& defaults = JpegPictureDefaults();
    defaults = TJPEGDefaults{};
    defaults.OutputDepth = options & 1 ? TOutputDepth::Depth8 : TOutputDepth::Depth24;
    defaults.GrayscaleOutput = (options & 2) != 0;
    defaults.ShowProgressively = (options & 4) != 0;
    defaults.SpeedMode = options & 8 ? TSpeedMode::FavourSpeed : TSpeedMode::FavourQuality;
    defaults.OutputScale = static_cast<TOutputScale>((options >> 4) & 3);

    TMemoryStream stream;
    stream.WriteBuffer(data + 1, size - 1);
    stream.SetPosition(0);
    TJPEGImage picture;
    try {
        picture.LoadFromStream(stream);
    } catch (const EJPEG&) {
        return 0;
    }
    // The library works on the full-size image whatever the output scale.
    const std::int64_t scale = std::int64_t{1} << static_cast<int>(defaults.OutputScale);
    if (static_cast<std::int64_t>(picture.Width()) * picture.Height() * scale * scale > MaxPixels)
        return 0;
    try {
        picture.DecodeBitmap();
    } catch (const EJPEG&) {
    }
    return 0;
}
