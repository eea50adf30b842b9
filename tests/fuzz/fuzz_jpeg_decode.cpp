// Arbitrary bytes loaded and decoded as a JPEG picture, as the preview does: any outcome but
// an EJPEG / stream error is a fault, and the sanitizers watch every row written. The pixel
// budget and the library's memory cap are those of the program, scaled down so that one
// run stays quick: a header claiming more is refused, never decoded. A few damaged bytes
// can claim a picture of millions of pixels, decoded grey past the data; a quarter of a
// megapixel still holds every path of the decoder (the seeds are a few hundred pixels).
#include "imaging/jpeg_image.h"
#include "imaging/picture_limits.h"

#include <cstddef>
#include <cstdint>

using namespace nimbrel;

namespace {
constexpr std::uint64_t MaxPixels = 1 << 18;
// As the program's cap: two bytes of coefficients for three full-resolution components.
constexpr std::uint64_t MaxLibraryMemory = MaxPixels * 6 + (16u << 20);
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

    PictureLimits() = TPictureLimits{MaxPixels, MaxLibraryMemory};

    TMemoryStream stream;
    stream.WriteBuffer(data + 1, size - 1);
    stream.SetPosition(0);
    TJPEGImage picture;
    try {
        picture.LoadFromStream(stream);
    } catch (const EJPEG&) {
        return 0;
    }
    // A loaded picture fits the budget, and so does its decoded bitmap.
    if (static_cast<std::uint64_t>(picture.Width()) * picture.Height() > MaxPixels)
        __builtin_trap();
    try {
        const TBitmap& bitmap = picture.DecodeBitmap();
        if (static_cast<std::uint64_t>(bitmap.Width()) * bitmap.Height() > MaxPixels)
            __builtin_trap();
    } catch (const EJPEG&) {
    }
    return 0;
}
