#include "controls/win32/canvas.h"

#include "controls/win32/windows_api.h"
#include "imaging/bitmap.h"

#include <array>

namespace nimbrel::win32 {
namespace {

// A BITMAPINFO with room for a full colour table.
struct BitmapInfo {
    BITMAPINFOHEADER header{};
    std::array<RGBQUAD, 256> colours{};
};

} // namespace

void TWin32Canvas::StretchDraw(const TRect& dest, const TBitmap& bitmap) {
    if (bitmap.Empty())
        return;
    BitmapInfo info;
    info.header.biSize = sizeof info.header;
    info.header.biWidth = bitmap.Width();
    // Negative: the rows are top-down, as the bitmap keeps them.
    info.header.biHeight = -bitmap.Height();
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitmap.BitsPerPixel());
    info.header.biCompression = BI_RGB;
    if (bitmap.PixelFormat() == TPixelFormat::pf8bit) {
        // An index past the palette's end shows black: the table is full and zeroed.
        info.header.biClrUsed = 256;
        if (const TPaletteHandle palette = bitmap.Palette()) {
            for (std::size_t i = 0; i < palette->Entries.size() && i < info.colours.size(); ++i) {
                const TPaletteEntry& entry = palette->Entries[i];
                info.colours[i] = RGBQUAD{entry.Blue, entry.Green, entry.Red, 0};
            }
        }
    }
    const int previousMode = SetStretchBltMode(dc_, HALFTONE);
    // Halftone stretching needs the brush origin set again after the mode change.
    SetBrushOrgEx(dc_, 0, 0, nullptr);
    StretchDIBits(dc_, dest.Left, dest.Top, dest.Width(), dest.Height(), 0, 0, bitmap.Width(),
                  bitmap.Height(), bitmap.ScanLine(0), reinterpret_cast<BITMAPINFO*>(&info),
                  DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc_, previousMode);
}

} // namespace nimbrel::win32
