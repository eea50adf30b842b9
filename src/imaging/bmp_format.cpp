#include "imaging/bmp_format.h"

#include "imaging/graphic_errors.h"
#include "imaging/picture_limits.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t LargestHeaderSize = 124; // BITMAPV5HEADER
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

constexpr char InvalidText[] = "Bitmap image is not valid";

[[noreturn]] void Invalid() {
    throw EInvalidGraphic(InvalidText);
}
// A bitmap of a kind the program does not show, said so.
[[noreturn]] void Unsupported(const std::string& what) {
    throw EInvalidGraphic(std::string(InvalidText) + ": " + what + " is not supported");
}

std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
void PutU16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(std::uint8_t* p, std::uint32_t v) {
    PutU16(p, v);
    PutU16(p + 2, v >> 16);
}

// Reads exactly `count` bytes, or the file is not a valid bitmap.
void ReadExactly(TStream& stream, void* buffer, std::size_t count, std::uint64_t& budget) {
    if (count > budget)
        Invalid();
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    for (std::size_t got = 0; got < count;) {
        const std::size_t done = stream.Read(bytes + got, count - got);
        if (done == 0)
            Invalid();
        got += done;
    }
    budget -= count;
}

void Skip(TStream& stream, std::uint64_t count, std::uint64_t& budget) {
    std::array<std::uint8_t, 4096> scratch;
    while (count > 0) {
        const std::size_t step =
            count < scratch.size() ? static_cast<std::size_t>(count) : scratch.size();
        ReadExactly(stream, scratch.data(), step, budget);
        count -= step;
    }
}

struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: rows stored top-down
    std::uint32_t bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t imageSize = 0; // of run-length coded pixels
    std::uint32_t colorsUsed = 0;
    std::uint32_t masks[3] = {0, 0, 0}; // red, green, blue of 16- and 32-bit pixels
};

// The colour masks a 16- or 32-bit picture has without BI_BITFIELDS.
void DefaultMasks(DibHeader& h) {
    if (h.bitCount == 16) {
        h.masks[0] = 0x7C00; // 5 bits each
        h.masks[1] = 0x03E0;
        h.masks[2] = 0x001F;
    } else {
        h.masks[0] = 0x00FF0000;
        h.masks[1] = 0x0000FF00;
        h.masks[2] = 0x000000FF;
    }
}

DibHeader ReadDibHeader(TStream& stream, std::uint64_t& budget) {
    std::array<std::uint8_t, LargestHeaderSize> raw{};
    ReadExactly(stream, raw.data(), 4, budget);
    DibHeader h;
    h.headerSize = U32(raw.data());
    if (h.headerSize == CoreHeaderSize) {
        // The old OS/2 header: 16-bit sizes, uncompressed, a palette of 3-byte entries.
        ReadExactly(stream, raw.data() + 4, CoreHeaderSize - 4, budget);
        h.width = U16(raw.data() + 4);
        h.height = U16(raw.data() + 6);
        if (U16(raw.data() + 8) != 1)
            Invalid();
        h.bitCount = U16(raw.data() + 10);
        return h;
    }
    if (h.headerSize < InfoHeaderSize || h.headerSize > LargestHeaderSize)
        Invalid();
    ReadExactly(stream, raw.data() + 4, h.headerSize - 4, budget);
    h.width = static_cast<std::int32_t>(U32(raw.data() + 4));
    h.height = static_cast<std::int32_t>(U32(raw.data() + 8));
    if (U16(raw.data() + 12) != 1) // planes
        Invalid();
    h.bitCount = U16(raw.data() + 14);
    h.compression = U32(raw.data() + 16);
    h.imageSize = U32(raw.data() + 20);
    h.colorsUsed = U32(raw.data() + 32);
    if (h.compression == BI_BITFIELDS) {
        // The masks follow a 40-byte header and are part of the larger ones.
        if (h.headerSize == InfoHeaderSize)
            ReadExactly(stream, raw.data() + InfoHeaderSize, 12, budget);
        for (int i = 0; i < 3; ++i)
            h.masks[i] = U32(raw.data() + InfoHeaderSize + 4 * i);
    } else if (h.bitCount == 16 || h.bitCount == 32) {
        DefaultMasks(h);
    }
    return h;
}

std::string CompressionName(std::uint32_t compression) {
    switch (compression) {
    case 4:
        return "JPEG compression";
    case 5:
        return "PNG compression";
    default:
        return "compression " + std::to_string(compression);
    }
}

// Accepts what the Windows bitmap loader shows; refuses the rest, saying what it is.
void CheckDibHeader(const DibHeader& h) {
    constexpr std::int64_t largest = 0x7FFFFFFF;
    if (h.width < 0 || h.width > largest || h.height < -largest || h.height > largest)
        Invalid();
    const bool core = h.headerSize == CoreHeaderSize;
    switch (h.compression) {
    case BI_RGB:
        if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 24 &&
            (core || (h.bitCount != 16 && h.bitCount != 32)))
            Unsupported(std::to_string(h.bitCount) + " bits per pixel");
        break;
    case BI_RLE8:
    case BI_RLE4:
        if (h.bitCount != (h.compression == BI_RLE8 ? 8u : 4u))
            Invalid();
        if (h.height < 0) // run-length coded rows go bottom-up only
            Invalid();
        break;
    case BI_BITFIELDS:
        if (h.bitCount != 16 && h.bitCount != 32)
            Invalid();
        break;
    default:
        Unsupported(CompressionName(h.compression));
    }
    if (h.bitCount <= 8 && h.colorsUsed > (1u << h.bitCount))
        Invalid();
    if (h.colorsUsed > 256)
        Invalid();
}

bool RunLengthCoded(const DibHeader& h) {
    return h.compression == BI_RLE8 || h.compression == BI_RLE4;
}

std::uint32_t PaletteCount(const DibHeader& h) {
    if (h.bitCount <= 8)
        return h.colorsUsed != 0 ? h.colorsUsed : 1u << h.bitCount;
    return h.colorsUsed; // an optional palette of a true-colour file, skipped
}

TPaletteHandle ReadPalette(TStream& stream, const DibHeader& h, std::uint64_t& budget) {
    const std::uint32_t count = PaletteCount(h);
    const std::size_t entrySize = h.headerSize == CoreHeaderSize ? 3 : 4;
    std::vector<std::uint8_t> raw(count * entrySize);
    ReadExactly(stream, raw.data(), raw.size(), budget);
    if (h.bitCount > 8)
        return nullptr;
    TLogPalette palette;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t* q = raw.data() + i * entrySize;
        palette.Entries.push_back({q[2], q[1], q[0], 0});
    }
    return CreatePalette(std::move(palette));
}

// One colour of a masked pixel, scaled to 8 bits: the mask's bits, wherever they lie.
class MaskedColour {
public:
    explicit MaskedColour(std::uint32_t mask) : mask_(mask) {
        if (mask == 0)
            return;
        while (((mask >> shift_) & 1) == 0)
            ++shift_;
        max_ = mask >> shift_; // bits above a gap count as if contiguous
    }
    std::uint8_t operator()(std::uint32_t pixel) const {
        if (max_ == 0)
            return 0;
        const std::uint64_t value = (pixel & mask_) >> shift_;
        return static_cast<std::uint8_t>((value * 255 + max_ / 2) / max_);
    }

private:
    std::uint32_t mask_ = 0;
    int shift_ = 0;
    std::uint64_t max_ = 0;
};

struct MaskedPixels {
    explicit MaskedPixels(const DibHeader& h)
        : red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]) {}
    MaskedColour red, green, blue;
};

// One file row into one bitmap row.
void ConvertRow(const std::uint8_t* in, std::uint8_t* out, int width, const DibHeader& h,
                const MaskedPixels& masked) {
    switch (h.bitCount) {
    case 1:
        for (int x = 0; x < width; ++x)
            out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    case 4:
        for (int x = 0; x < width; ++x)
            out[x] = (x & 1) ? in[x >> 1] & 0x0F : in[x >> 1] >> 4;
        break;
    case 8:
        std::memcpy(out, in, static_cast<std::size_t>(width));
        break;
    case 24:
        std::memcpy(out, in, static_cast<std::size_t>(width) * 3);
        break;
    case 16:
    case 32:
        for (int x = 0; x < width; ++x, out += 3) {
            const std::uint32_t pixel = h.bitCount == 16 ? U16(in + 2 * x) : U32(in + 4 * x);
            out[0] = masked.blue(pixel);
            out[1] = masked.green(pixel);
            out[2] = masked.red(pixel);
        }
        break;
    }
}

// Run-length coded pixels (RLE8, RLE4) into an 8-bit bitmap whose rows are all index 0.
// The codes are followed as the Windows loader follows them: a run or a literal that goes
// past the row's end is cut there, a jump past the picture or the data's end ends it.
void DecodeRunLengths(const std::vector<std::uint8_t>& data, bool fourBits, TBitmap& bitmap) {
    const std::int64_t width = bitmap.Width(), height = bitmap.Height();
    std::int64_t x = 0, y = 0; // y counts from the bottom row
    auto put = [&](std::uint8_t index) {
        if (x < width && y < height)
            bitmap.ScanLine(static_cast<int>(height - 1 - y))[x] = index;
        ++x;
    };
    std::size_t at = 0;
    while (at + 2 <= data.size() && y < height) {
        const std::uint8_t count = data[at], code = data[at + 1];
        at += 2;
        if (count > 0) { // a run: one index, or two alternating ones
            for (int i = 0; i < count; ++i)
                put(fourBits ? ((i & 1) ? code & 0x0F : code >> 4) : code);
        } else if (code == 0) { // end of row
            x = 0;
            ++y;
        } else if (code == 1) { // end of picture
            return;
        } else if (code == 2) { // jump right and up
            if (at + 2 > data.size())
                return;
            x += data[at];
            y += data[at + 1];
            at += 2;
        } else { // `code` indices as they stand, padded to a whole 16-bit word
            const std::size_t bytes = fourBits ? (code + 1u) / 2 : code;
            if (at + bytes > data.size())
                return;
            for (int i = 0; i < code; ++i)
                put(fourBits ? ((i & 1) ? data[at + i / 2] & 0x0F : data[at + i / 2] >> 4)
                             : data[at + i]);
            at += bytes + (bytes & 1);
        }
    }
}

// The bytes of run-length coded pixels: as many as the header says, else the rest.
std::uint64_t CodedBytes(const DibHeader& h, std::uint64_t budget) {
    return h.imageSize != 0 ? h.imageSize : budget;
}

// The pixel rows, after the headers and the palette.
void ReadPixels(TStream& stream, const DibHeader& h, TPaletteHandle palette, std::uint64_t& budget,
                TBitmap& bitmap) {
    const auto width = static_cast<int>(h.width);
    const auto height = static_cast<int>(h.height < 0 ? -h.height : h.height);
    const std::uint64_t fileRowBytes = ((h.width * h.bitCount + 31) / 32) * 4;
    if (width == 0 || height == 0) {
        bitmap.SetEmpty();
        return;
    }
    // All pixel data must be there before anything is allocated for it.
    const std::uint64_t dataBytes = RunLengthCoded(h)
                                        ? CodedBytes(h, budget)
                                        : fileRowBytes * static_cast<std::uint64_t>(height);
    if (dataBytes > budget)
        Invalid();
    // A file that holds all its rows may still be too large to hold in memory.
    if (!WithinPixelBudget(width, height))
        throw EInvalidGraphic(TooLargeText("Bitmap", width, height));
    bitmap.SetEmpty();
    bitmap.SetPixelFormat(h.bitCount <= 8 ? TPixelFormat::pf8bit : TPixelFormat::pf24bit);
    bitmap.SetPalette(std::move(palette));
    bitmap.SetSize(width, height);
    if (RunLengthCoded(h)) {
        std::vector<std::uint8_t> data(static_cast<std::size_t>(dataBytes));
        ReadExactly(stream, data.data(), data.size(), budget);
        for (int row = 0; row < height; ++row)
            std::memset(bitmap.ScanLine(row), 0, static_cast<std::size_t>(width));
        DecodeRunLengths(data, h.compression == BI_RLE4, bitmap);
        return;
    }
    const MaskedPixels masked(h);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(fileRowBytes));
    for (int i = 0; i < height; ++i) {
        ReadExactly(stream, row.data(), row.size(), budget);
        const int target = h.height < 0 ? i : height - 1 - i;
        ConvertRow(row.data(), bitmap.ScanLine(target), width, h, masked);
    }
}

void ReadDib(TStream& stream, TBitmap& bitmap, std::uint64_t budget, std::uint64_t pixelOffset) {
    const std::uint64_t start = stream.Position();
    const DibHeader header = ReadDibHeader(stream, budget);
    CheckDibHeader(header);
    TPaletteHandle palette = ReadPalette(stream, header, budget);
    if (pixelOffset != 0) {
        const std::uint64_t read = stream.Position() - start;
        if (pixelOffset < read)
            Invalid();
        Skip(stream, pixelOffset - read, budget);
    }
    ReadPixels(stream, header, std::move(palette), budget, bitmap);
}

std::vector<std::uint8_t> DibHeaderBytes(const TBitmap& bitmap, std::uint32_t paletteCount) {
    std::vector<std::uint8_t> header(InfoHeaderSize + 4 * paletteCount, 0);
    std::uint8_t* p = header.data();
    PutU32(p, InfoHeaderSize);
    PutU32(p + 4, static_cast<std::uint32_t>(bitmap.Width()));
    PutU32(p + 8, static_cast<std::uint32_t>(bitmap.Height()));
    PutU16(p + 12, 1);
    PutU16(p + 14, static_cast<std::uint32_t>(bitmap.BitsPerPixel()));
    PutU32(p + 16, BI_RGB);
    PutU32(p + 20, static_cast<std::uint32_t>(bitmap.RowBytes() * bitmap.Height()));
    PutU32(p + 32, paletteCount);
    const TPaletteHandle palette = bitmap.Palette();
    for (std::uint32_t i = 0; palette && i < paletteCount && i < palette->Entries.size(); ++i) {
        const TPaletteEntry& e = palette->Entries[i];
        std::uint8_t* q = p + InfoHeaderSize + 4 * i;
        q[0] = e.Blue;
        q[1] = e.Green;
        q[2] = e.Red;
    }
    return header;
}

std::uint32_t WrittenPaletteCount(const TBitmap& bitmap) {
    if (bitmap.PixelFormat() != TPixelFormat::pf8bit)
        return 0;
    const TPaletteHandle palette = bitmap.Palette();
    // A count of 0 would mean 256 entries to a reader: write at least one (black).
    return palette && !palette->Entries.empty()
               ? static_cast<std::uint32_t>(palette->Entries.size())
               : 1;
}

void WriteRows(TStream& stream, const TBitmap& bitmap) {
    for (int row = bitmap.Height() - 1; row >= 0; --row)
        stream.WriteBuffer(bitmap.ScanLine(row), bitmap.RowBytes());
}

// The file header: "BM" and where the pixels start, which must lie past the smallest
// headers. Answers that offset.
std::uint32_t ReadFileHeader(TStream& stream, std::uint64_t& budget) {
    std::array<std::uint8_t, FileHeaderSize> fileHeader{};
    ReadExactly(stream, fileHeader.data(), fileHeader.size(), budget);
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        Invalid();
    const std::uint32_t pixelOffset = U32(fileHeader.data() + 10);
    if (pixelOffset < FileHeaderSize + CoreHeaderSize)
        Invalid();
    return pixelOffset;
}

} // namespace

void ReadBmp(TStream& stream, TBitmap& bitmap) {
    std::uint64_t budget = stream.Remaining();
    const std::uint32_t pixelOffset = ReadFileHeader(stream, budget);
    ReadDib(stream, bitmap, budget, pixelOffset - FileHeaderSize);
}

BmpLayout ReadBmpLayout(TStream& stream) {
    const std::uint64_t start = stream.Position();
    std::uint64_t budget = stream.Remaining();
    const std::uint32_t pixelOffset = ReadFileHeader(stream, budget);
    const DibHeader h = ReadDibHeader(stream, budget);
    CheckDibHeader(h);
    const std::uint64_t paletteBytes =
        std::uint64_t{PaletteCount(h)} * (h.headerSize == CoreHeaderSize ? 3 : 4);
    const std::uint64_t headersAndPalette = stream.Position() - start + paletteBytes;
    // The reader refuses pixels that would overlap the palette.
    if (pixelOffset < headersAndPalette)
        Invalid();
    BmpLayout layout;
    layout.width = static_cast<int>(h.width);
    layout.height = static_cast<int>(h.height < 0 ? -h.height : h.height);
    layout.bitCount = static_cast<int>(h.bitCount);
    const std::uint64_t rowBytes = ((h.width * h.bitCount + 31) / 32) * 4;
    layout.bytesNeeded = pixelOffset;
    if (RunLengthCoded(h))
        layout.bytesNeeded += h.imageSize != 0 ? h.imageSize : 2; // at least its end code
    else if (layout.width != 0 && layout.height != 0)
        layout.bytesNeeded += rowBytes * static_cast<std::uint64_t>(layout.height);
    return layout;
}

void ReadPackedDib(TStream& stream, TBitmap& bitmap) {
    ReadDib(stream, bitmap, stream.Remaining(), 0);
}

void WriteBmp(TStream& stream, const TBitmap& bitmap) {
    const std::uint32_t paletteCount = WrittenPaletteCount(bitmap);
    const std::vector<std::uint8_t> dib = DibHeaderBytes(bitmap, paletteCount);
    const std::uint64_t offset = FileHeaderSize + dib.size();
    const std::uint64_t fileSize = offset + bitmap.RowBytes() * bitmap.Height();
    std::array<std::uint8_t, FileHeaderSize> fileHeader{};
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    PutU32(fileHeader.data() + 2,
           fileSize > 0xFFFFFFFFu ? 0 : static_cast<std::uint32_t>(fileSize));
    PutU32(fileHeader.data() + 10, static_cast<std::uint32_t>(offset));
    stream.WriteBuffer(fileHeader.data(), fileHeader.size());
    stream.WriteBuffer(dib.data(), dib.size());
    WriteRows(stream, bitmap);
}

void WritePackedDib(TStream& stream, const TBitmap& bitmap) {
    const std::vector<std::uint8_t> dib = DibHeaderBytes(bitmap, WrittenPaletteCount(bitmap));
    stream.WriteBuffer(dib.data(), dib.size());
    WriteRows(stream, bitmap);
}

} // namespace nimbrel
