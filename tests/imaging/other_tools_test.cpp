// Pictures made by another tool (ImageMagick) decode to the pixels that tool decodes: JPEG
// files of four inks, and the kinds of bitmap the Windows loader shows. The files are made
// at test time; a run-length coded 4-bit file, which the tool does not write, is made here
// byte by byte and only read by the tool.
#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "jpeg_fixture.h"
#include "support/jpeg_maker.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct Scratch {
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "nimbrel-tools-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
    }
    ~Scratch() { fs::remove_all(folder); }
    fs::path folder;
};

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

// Runs ImageMagick's convert with `arguments` (quoted as needed by the caller).
void Magick(const std::string& arguments) {
    const std::string command = "convert " + arguments + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// The tool's own decode of a file: red, green, blue bytes, top row first.
Bytes MagickPixels(const fs::path& file) {
    const fs::path raw = file.string() + ".rgb";
    Magick("'" + file.string() + "' -colorspace sRGB -alpha off -depth 8 'rgb:" + raw.string() +
           "'");
    return ReadFile(raw);
}

// Ours, in the same form.
Bytes OurPixels(const TBitmap& bitmap) {
    Bytes pixels;
    const TPaletteHandle palette = bitmap.Palette();
    for (int y = 0; y < bitmap.Height(); ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            if (bitmap.PixelFormat() == TPixelFormat::pf8bit) {
                const TPaletteEntry& entry = palette->Entries.at(row[x]);
                pixels.insert(pixels.end(), {entry.Red, entry.Green, entry.Blue});
            } else {
                pixels.insert(pixels.end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});
            }
        }
    }
    return pixels;
}

int LargestDifference(const Bytes& a, const Bytes& b) {
    int largest = 0;
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        largest = std::max(largest, std::abs(int{a[i]} - int{b[i]}));
    return largest;
}

std::unique_ptr<TBitmap> DecodedBitmap(const Bytes& file) {
    TMemoryStream stream = test::StreamOf(file);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromStream(stream);
    return bitmap;
}

class OtherTools : public test::JpegTest {};

TEST_F(OtherTools, BitmapsOfEveryKindTheLoaderShowsReadAsTheToolReadsThem) {
    Scratch scratch;
    const std::string picture =
        "-size 37x23 gradient:red-blue \\( -size 37x23 "
        "gradient:yellow-black -rotate 90 -resize 37x23! \\) -compose blend -define "
        "compose:args=50 -composite";
    const struct {
        const char* name;
        std::string options; // what the tool writes
    } cases[] = {
        {"rle8.bmp", "-colors 40 -type Palette -compress RLE BMP3:"},
        {"palette4.bmp", "-colors 12 -type Palette -compress None BMP3:"},
        {"rgb565.bmp", "-define bmp:subtype=RGB565 BMP:"},
        {"rgb555.bmp", "-define bmp:subtype=RGB555 BMP:"},
        {"argb8888.bmp", "-alpha on -define bmp:subtype=ARGB8888 BMP:"},
        {"os2.bmp", "BMP2:"},
        {"v5.bmp", "-type TrueColor BMP:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path file = scratch.folder / c.name;
        const std::string options = c.options;
        const std::size_t colon = options.rfind(' ');
        const std::string settings = colon == std::string::npos ? "" : options.substr(0, colon);
        const std::string format = options.substr(colon == std::string::npos ? 0 : colon + 1);
        Magick(picture + " " + settings + " '" + format + file.string() + "'");
        const auto decoded = DecodedBitmap(ReadFile(file));
        const TBitmap& bitmap = *decoded;
        ASSERT_EQ(bitmap.Width(), 37);
        ASSERT_EQ(bitmap.Height(), 23);
        const Bytes expected = MagickPixels(file);
        ASSERT_EQ(expected.size(), 37u * 23 * 3);
        // The masks' short colours are widened the same way by both, up to rounding.
        EXPECT_LE(LargestDifference(OurPixels(bitmap), expected), 1);
    }
}

// A 4-bit run-length coded file of 7 x 4 pixels with every kind of code: runs, a literal,
// the end of a row, a jump and the end of the picture; and the same rows stored top-down
// uncompressed in a second file. Pixels a code skips are palette entry 0.
TEST_F(OtherTools, RunLengthFourBitsAndTopDownRowsReadAsTheToolReadsThem) {
    Scratch scratch;
    auto le16 = [](Bytes& b, std::uint32_t v) {
        b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)});
    };
    auto le32 = [&](Bytes& b, std::uint32_t v) {
        le16(b, v & 0xFFFF);
        le16(b, v >> 16);
    };
    auto file = [&](std::int32_t height, std::uint32_t compression, const Bytes& pixels) {
        Bytes f{'B', 'M'};
        const std::uint32_t offset = 14 + 40 + 16 * 4;
        le32(f, offset + static_cast<std::uint32_t>(pixels.size()));
        le32(f, 0);
        le32(f, offset);
        le32(f, 40);
        le32(f, 7);
        le32(f, static_cast<std::uint32_t>(height));
        le16(f, 1);
        le16(f, 4);
        le32(f, compression);
        le32(f, static_cast<std::uint32_t>(pixels.size()));
        le32(f, 2835);
        le32(f, 2835);
        le32(f, 16);
        le32(f, 0);
        for (int i = 0; i < 16; ++i) // a palette of distinct colours
            f.insert(f.end(),
                     {std::uint8_t(i * 16), std::uint8_t(255 - i * 16), std::uint8_t(i * 7), 0});
        f.insert(f.end(), pixels.begin(), pixels.end());
        return f;
    };
    const Bytes coded = {
        7, 0x12,                      // bottom row: 1 2 1 2 1 2 1
        0, 0,                         // end of row
        0, 5,    0x34, 0x56, 0x70, 0, // literal 3 4 5 6 7, padded to a word
        2, 0x9A,                      // 9 A: the row holds 7
        0, 0,                         // end of row
        0, 2,    2,    0,             // jump 2 right: row 2 from x 2 (x 0 and 1 stay 0)
        3, 0xBC,                      // B C B
        0, 0,    9,    0xDE,          // a run past the row's end is cut there
        0, 1,                         // end of picture
    };
    const Bytes topDown = {
        0xDE, 0xDE, 0xDE, 0xD0, 0x00, 0xBC, 0xB0, 0x00,
        0x34, 0x56, 0x79, 0xA0, 0x12, 0x12, 0x12, 0x10,
    };
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {{"rle4.bmp", file(4, 2, coded)}, {"topdown.bmp", file(-4, 0, topDown)}};
    Bytes first;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = scratch.folder / c.name;
        WriteFile(path, c.bytes);
        const Bytes ours = OurPixels(*DecodedBitmap(c.bytes));
        EXPECT_EQ(ours, MagickPixels(path));
        if (first.empty())
            first = ours;
        else
            EXPECT_EQ(ours, first); // the two files hold the same picture
    }
}

TEST_F(OtherTools, InkJpegsShowTheColoursTheToolShows) {
    Scratch scratch;
    // Most tools write inks inverted, with Adobe's marker: the tool here does.
    const fs::path file = scratch.folder / "inks.jpg";
    Magick("-size 48x32 gradient:cyan-magenta \\( -size 48x32 gradient:white-black "
           "-rotate 90 -resize 48x32! \\) -compose multiply -composite -colorspace CMYK -quality "
           "95 '" +
           file.string() + "'");
    for (const TOutputDepth depth : {TOutputDepth::Depth24, TOutputDepth::Depth8}) {
        JpegPictureDefaults().OutputDepth = depth;
        TJPEGImage picture;
        test::LoadBytes(picture, ReadFile(file));
        const TBitmap& bitmap = picture.DecodeBitmap();
        EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit); // inks never quantised
        EXPECT_LE(LargestDifference(OurPixels(bitmap), MagickPixels(file)), 1);
    }
}

// YCCK, which the tool does not write: the library's own files, against its own decode to
// inks and the rule every reader applies to inks with Adobe's marker.
TEST_F(OtherTools, YcckAndCmykOfTheLibraryDecodeToTheirInksColours) {
    for (const test::JpegKind kind : {test::JpegKind::Cmyk, test::JpegKind::Ycck}) {
        const Bytes jpeg = test::MakeJpeg({kind, 31, 9});
        TJPEGImage picture;
        test::LoadBytes(picture, jpeg);
        const TBitmap& bitmap = picture.DecodeBitmap();
        const test::ReferenceImage inks = test::ReferenceDecode(jpeg, {.bgr = false});
        ASSERT_EQ(inks.components, 4);
        Bytes expected;
        for (std::size_t i = 0; i < inks.pixels.size(); i += 4) {
            const unsigned k = inks.pixels[i + 3];
            for (int c = 0; c < 3; ++c)
                expected.push_back(static_cast<std::uint8_t>((inks.pixels[i + c] * k + 127) / 255));
        }
        EXPECT_EQ(OurPixels(bitmap), expected) << static_cast<int>(kind);
    }
}

} // namespace
} // namespace nimbrel
