#include "imaging/bitmap.h"

#include "imaging/bmp_format.h"
#include "imaging/graphic_errors.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace nimbrel {

TBitmap::~TBitmap() = default;

std::size_t TBitmap::RowBytesFor(int width, TPixelFormat format) {
    const std::size_t bytes =
        static_cast<std::size_t>(width) * (format == TPixelFormat::pf8bit ? 1 : 3);
    return (bytes + 3) & ~std::size_t{3};
}

TBitmap::Pixels TBitmap::AllocatePixels(std::size_t rowBytes, int height) {
    if (rowBytes == 0 || height <= 0)
        return nullptr;
    if (rowBytes > std::numeric_limits<std::size_t>::max() / static_cast<std::size_t>(height))
        throw EOutOfResources("Out of system resources");
    // calloc: the padding is zero, and large blocks arrive as untouched zero pages.
    auto* bytes = static_cast<std::uint8_t*>(std::calloc(rowBytes * height, 1));
    if (bytes == nullptr)
        throw EOutOfResources("Out of system resources");
    return Pixels(bytes);
}

void TBitmap::Resize(int width, int height) {
    if (width < 0 || height < 0)
        throw EInvalidGraphicOperation("Invalid bitmap size");
    if (width == 0 || height == 0)
        width = height = 0;
    if (width == width_ && height == height_)
        return;
    const std::size_t rowBytes = RowBytesFor(width, pixelFormat_);
    Pixels pixels = AllocatePixels(rowBytes, height);
    if (pixels && pixels_) {
        const std::size_t shared = std::min(rowBytes, rowBytes_);
        for (int row = 0; row < std::min(height, height_); ++row)
            std::memcpy(pixels.get() + row * rowBytes, ScanLine(row), shared);
        // The copied tail of a wider old row would sit in the new row's padding.
        if (width < width_) {
            const std::size_t used =
                static_cast<std::size_t>(width) * (pixelFormat_ == TPixelFormat::pf8bit ? 1 : 3);
            for (int row = 0; row < std::min(height, height_); ++row)
                std::memset(pixels.get() + row * rowBytes + used, 0, rowBytes - used);
        }
    }
    pixels_ = std::move(pixels);
    width_ = width;
    height_ = height;
    rowBytes_ = rowBytes;
    Changed();
}

void TBitmap::SetWidth(int value) {
    Resize(value, height_);
}

void TBitmap::SetHeight(int value) {
    Resize(width_, value);
}

void TBitmap::SetSize(int width, int height) {
    Resize(width, height);
}

void TBitmap::SetEmpty() {
    pixels_.reset();
    width_ = height_ = 0;
    rowBytes_ = 0;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pixelFormat_)
        return;
    if (Empty()) {
        pixelFormat_ = format;
        return;
    }
    const std::size_t rowBytes = RowBytesFor(width_, format);
    Pixels pixels = AllocatePixels(rowBytes, height_);
    if (format == TPixelFormat::pf24bit) {
        const TLogPalette empty;
        const TLogPalette& palette = palette_ ? *palette_ : empty;
        for (int row = 0; row < height_; ++row) {
            const std::uint8_t* in = ScanLine(row);
            std::uint8_t* out = pixels.get() + row * rowBytes;
            for (int x = 0; x < width_; ++x, out += 3) {
                if (in[x] < palette.Entries.size()) {
                    const TPaletteEntry& e = palette.Entries[in[x]];
                    out[0] = e.Blue;
                    out[1] = e.Green;
                    out[2] = e.Red;
                } // else black, as an index past the palette shows
            }
        }
    } else {
        if (!palette_)
            palette_ = CreateHalftonePalette();
        for (int row = 0; row < height_; ++row) {
            const std::uint8_t* in = ScanLine(row);
            std::uint8_t* out = pixels.get() + row * rowBytes;
            for (int x = 0; x < width_; ++x, in += 3)
                out[x] = NearestPaletteIndex(*palette_, in[2], in[1], in[0]);
        }
    }
    pixels_ = std::move(pixels);
    rowBytes_ = rowBytes;
    pixelFormat_ = format;
    Changed();
}

void TBitmap::SetPalette(TPaletteHandle palette) {
    if (palette == palette_)
        return;
    palette_ = std::move(palette);
    Changed();
}

std::uint8_t* TBitmap::ScanLine(int row) {
    return const_cast<std::uint8_t*>(std::as_const(*this).ScanLine(row));
}

const std::uint8_t* TBitmap::ScanLine(int row) const {
    if (row < 0 || row >= height_)
        throw EInvalidGraphicOperation("Scan line index out of range");
    return pixels_.get() + static_cast<std::size_t>(row) * rowBytes_;
}

void TBitmap::Assign(const TGraphic& source) {
    const auto* bitmap = dynamic_cast<const TBitmap*>(&source);
    if (bitmap == nullptr) {
        TGraphic::Assign(source);
        return;
    }
    if (bitmap == this)
        return;
    Pixels pixels = AllocatePixels(bitmap->rowBytes_, bitmap->height_);
    if (pixels)
        std::memcpy(pixels.get(), bitmap->pixels_.get(),
                    bitmap->rowBytes_ * static_cast<std::size_t>(bitmap->height_));
    pixels_ = std::move(pixels);
    width_ = bitmap->width_;
    height_ = bitmap->height_;
    rowBytes_ = bitmap->rowBytes_;
    pixelFormat_ = bitmap->pixelFormat_;
    palette_ = CopyPalette(bitmap->palette_);
    Changed();
}

void TBitmap::Adopt(TBitmap& other) {
    pixels_ = std::move(other.pixels_);
    width_ = other.width_;
    height_ = other.height_;
    rowBytes_ = other.rowBytes_;
    pixelFormat_ = other.pixelFormat_;
    palette_ = std::move(other.palette_);
    other.SetEmpty();
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
    if (!Empty())
        canvas.StretchDraw(rect, *this);
}

void TBitmap::LoadFromStream(TStream& stream) {
    TBitmap loaded;
    ReadBmp(stream, loaded);
    Adopt(loaded);
}

void TBitmap::SaveToStream(TStream& stream) {
    WriteBmp(stream, *this);
}

void TBitmap::LoadFromClipboardFormat(const TClipboardPicture& data) {
    if (data.Format != CF_DIB)
        throw EInvalidGraphic("Unsupported clipboard format");
    TMemoryStream stream;
    stream.WriteBuffer(data.Data.data(), data.Data.size());
    stream.SetPosition(0);
    TBitmap loaded;
    ReadPackedDib(stream, loaded);
    Adopt(loaded);
}

void TBitmap::SaveToClipboardFormat(TClipboardPicture& data) {
    TMemoryStream stream;
    WritePackedDib(stream, *this);
    data.Format = CF_DIB;
    data.Data = stream.CopyOfBytes();
    data.Palette = CopyPalette(palette_);
}

} // namespace nimbrel
