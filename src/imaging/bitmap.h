#pragma once
// A device-independent bitmap of 8 bits per pixel (palette indices) or 24 bits per pixel.
//
// Memory layout, chosen so a GUI can wrap the pixels without copying them:
// - rows are stored TOP-DOWN in one block: row 0 (the top row) first, each row
//   RowStep() bytes after the previous one (RowStep() > 0);
// - every row is padded with zero bytes to a multiple of 4 bytes;
// - a 24-bit pixel is 3 bytes in the order blue, green, red (Qt: QImage::Format_BGR888);
//   an 8-bit pixel is an index into Palette() (Qt: QImage::Format_Indexed8 with the
//   palette as colour table).
// Files store rows bottom-up; the BMP reader and writer turn them around.
#include "imaging/graphic.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace nimbrel {

enum class TPixelFormat : std::uint8_t { pf8bit, pf24bit };

class TBitmap : public TGraphic {
public:
    static constexpr const char* StaticClassName = "TBitmap";
    TBitmap() = default;
    ~TBitmap() override;

    const char* ClassName() const override { return StaticClassName; }

    // Copies another bitmap's pixels, format and palette (a copy of it); anything else is
    // handed to the source (a JPEG picture decodes itself into this bitmap).
    void Assign(const TGraphic& source) override;

    void Draw(TCanvas& canvas, const TRect& rect) override;
    bool Empty() const override { return width_ == 0 || height_ == 0; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // Resizing keeps the pixels of the part both sizes share; new pixels are zero.
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    void SetSize(int width, int height);
    // Drops the pixels (0 x 0); format and palette stay.
    void SetEmpty();

    TPixelFormat PixelFormat() const { return pixelFormat_; }
    // Converts the pixels: 8 to 24 bits through the palette, 24 to 8 bits to the nearest
    // entry of the palette (the halftone palette when there is none).
    void SetPixelFormat(TPixelFormat format);
    int BitsPerPixel() const { return pixelFormat_ == TPixelFormat::pf8bit ? 8 : 24; }

    TPaletteHandle Palette() const override { return palette_; }
    // The bitmap takes (shared) ownership of the handle.
    void SetPalette(TPaletteHandle palette) override;

    // Address of row `row` (0 is the top row); rows lie RowStep() bytes apart.
    std::uint8_t* ScanLine(int row);
    const std::uint8_t* ScanLine(int row) const;
    std::ptrdiff_t RowStep() const { return static_cast<std::ptrdiff_t>(rowBytes_); }
    // The bytes of one row including its padding.
    std::size_t RowBytes() const { return rowBytes_; }
    static std::size_t RowBytesFor(int width, TPixelFormat format);

    // BMP file form.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    // CF_DIB: the BMP form without its file header.
    void LoadFromClipboardFormat(const TClipboardPicture& data) override;
    void SaveToClipboardFormat(TClipboardPicture& data) override;

private:
    struct FreeBytes {
        void operator()(std::uint8_t* bytes) const { std::free(bytes); }
    };
    using Pixels = std::unique_ptr<std::uint8_t, FreeBytes>;

    static Pixels AllocatePixels(std::size_t rowBytes, int height);
    void Resize(int width, int height);
    // Takes the other bitmap's pixels and palette, leaving it empty.
    void Adopt(TBitmap& other);

    int width_ = 0;
    int height_ = 0;
    TPixelFormat pixelFormat_ = TPixelFormat::pf24bit;
    std::size_t rowBytes_ = 0;
    Pixels pixels_;
    TPaletteHandle palette_;
};

} // namespace nimbrel
