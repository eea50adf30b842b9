// Arbitrary bytes read as a BMP file: an EInvalidGraphic or a bitmap, nothing else. The
// pixel budget is scaled down, as run-length coded pixels let a few bytes claim a large
// picture: one run stays quick (a 150-byte RLE4 file of 7 x 524,454 pixels took over a
// second under the sanitizers with the program's 4 megapixels).
#include "imaging/bitmap.h"
#include "imaging/graphic_errors.h"
#include "imaging/picture_limits.h"

#include <cstddef>
#include <cstdint>

using namespace nimbrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PictureLimits().MaxPixels = 1 << 18;
    TMemoryStream stream;
    stream.WriteBuffer(data, size);
    stream.SetPosition(0);
    TBitmap bitmap;
    try {
        bitmap.LoadFromStream(stream);
    } catch (const EInvalidGraphic&) {
        return 0;
    }
    // A bitmap that was read saves and reads back to the same pixels.
    TMemoryStream saved;
    bitmap.SaveToStream(saved);
    saved.SetPosition(0);
    TBitmap again;
    again.LoadFromStream(saved);
    if (again.Width() != bitmap.Width() || again.Height() != bitmap.Height())
        __builtin_trap();
    for (int y = 0; y < bitmap.Height(); ++y)
        for (std::size_t i = 0; i < bitmap.RowBytes(); ++i)
            if (again.ScanLine(y)[i] != bitmap.ScanLine(y)[i])
                __builtin_trap();
    return 0;
}
