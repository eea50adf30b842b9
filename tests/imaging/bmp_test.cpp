#include "imaging/bitmap.h"
#include "imaging/bmp_format.h"
#include "imaging/graphic_errors.h"
#include "support/bmp_maker.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbrel {
namespace {

using test::BmpShape;

TMemoryStream StreamOf(const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream;
    stream.WriteBuffer(bytes.data(), bytes.size());
    stream.SetPosition(0);
    return stream;
}

void LoadBytes(TBitmap& bitmap, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream = StreamOf(bytes);
    bitmap.LoadFromStream(stream);
}

std::vector<std::uint8_t> SavedBytes(TBitmap& bitmap) {
    TMemoryStream stream;
    bitmap.SaveToStream(stream);
    return stream.CopyOfBytes();
}

std::string Describe(const BmpShape& s) {
    return std::to_string(s.width) + "x" + std::to_string(s.height) + "@" +
           std::to_string(s.bitCount) + " header " + std::to_string(s.headerSize);
}

TEST(BmpRead, EveryLayoutGivesThePictureTopRowFirst) {
    const BmpShape cases[] = {
        {4, 3, 24},
        {4, -3, 24},
        {17, 13, 24},
        {1, 1, 24},
        {5, 2, 8, 1, 0, 40, 256},
        {5, -2, 8},
        {9, 3, 4},
        {13, 2, 1},
        {3, 2, 32},
        {3, -2, 32},
        {6, 2, 24, 1, 0, 12},
        {6, 2, 8, 1, 0, 12},
        {7, 2, 8, 1, 0, 124},
    };
    for (const BmpShape& shape : cases) {
        SCOPED_TRACE(Describe(shape));
        TBitmap bitmap;
        LoadBytes(bitmap, test::MakeBmp(shape));
        ASSERT_EQ(bitmap.Width(), shape.width);
        ASSERT_EQ(bitmap.Height(), std::abs(shape.height));
        for (int y = 0; y < bitmap.Height(); ++y) {
            const std::uint8_t* row = bitmap.ScanLine(y);
            for (int x = 0; x < bitmap.Width(); ++x) {
                if (shape.bitCount <= 8) {
                    ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
                    ASSERT_EQ(row[x], test::BmpIndexAt(x, y, shape.bitCount)) << x << "," << y;
                } else {
                    ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
                    std::uint8_t r, g, b;
                    test::BmpColorAt(x, y, r, g, b);
                    ASSERT_EQ(row[3 * x], b);
                    ASSERT_EQ(row[3 * x + 1], g);
                    ASSERT_EQ(row[3 * x + 2], r);
                }
            }
        }
        if (shape.bitCount <= 8) {
            ASSERT_TRUE(bitmap.Palette());
            ASSERT_EQ(bitmap.Palette()->Entries.size(), 1u << shape.bitCount);
            std::uint8_t r, g, b;
            test::BmpPaletteColor(1, r, g, b);
            EXPECT_EQ(bitmap.Palette()->Entries[1], (TPaletteEntry{r, g, b, 0}));
        }
    }
}

TEST(BmpWrite, ReadThenWriteGivesTheSameFile) {
    for (const BmpShape& shape :
         {BmpShape{4, 3, 24}, BmpShape{17, 13, 24}, BmpShape{1, 1, 24},
          BmpShape{17, 13, 8, 1, 0, 40, 256}, BmpShape{3, 1, 8, 1, 0, 40, 20}}) {
        SCOPED_TRACE(Describe(shape));
        const std::vector<std::uint8_t> file = test::MakeBmp(shape);
        TBitmap bitmap;
        LoadBytes(bitmap, file);
        EXPECT_EQ(SavedBytes(bitmap), file);
    }
}

TEST(BmpWrite, ClipboardFormIsTheFileWithoutItsFileHeader) {
    const std::vector<std::uint8_t> file = test::MakeBmp({5, 4, 8, 1, 0, 40, 256});
    TBitmap bitmap;
    LoadBytes(bitmap, file);
    TClipboardPicture clip;
    bitmap.SaveToClipboardFormat(clip);
    EXPECT_EQ(clip.Format, CF_DIB);
    EXPECT_EQ(clip.Data, std::vector<std::uint8_t>(file.begin() + 14, file.end()));
    TBitmap back;
    back.LoadFromClipboardFormat(clip);
    EXPECT_EQ(SavedBytes(back), file);
}

TEST(BmpRead, DamagedHeadersFailCleanlyAndLeaveTheBitmapAsItWas) {
    using Damage = void (*)(std::vector<std::uint8_t>&);
    struct Case {
        const char* what;
        Damage damage;
    };
    const Case cases[] = {
        {"no BM", [](auto& f) { f[0] = 'X'; }},
        {"empty", [](auto& f) { f.clear(); }},
        {"cut in the file header", [](auto& f) { f.resize(9); }},
        {"cut in the info header", [](auto& f) { f.resize(30); }},
        {"cut in the palette", [](auto& f) { f.resize(14 + 40 + 100); }},
        {"cut in the pixels", [](auto& f) { f.pop_back(); }},
        {"header size 0", [](auto& f) { test::PutLe32(f, test::BmpHeaderSizeField, 0); }},
        {"header size 13", [](auto& f) { test::PutLe32(f, test::BmpHeaderSizeField, 13); }},
        {"header size huge",
         [](auto& f) { test::PutLe32(f, test::BmpHeaderSizeField, 0x7FFFFFFF); }},
        {"planes 0", [](auto& f) { test::PutLe16(f, test::BmpPlanesField, 0); }},
        {"16 bits with an 8-bit file's rows",
         [](auto& f) { test::PutLe16(f, test::BmpBitCountField, 16); }},
        {"7 bits", [](auto& f) { test::PutLe16(f, test::BmpBitCountField, 7); }},
        {"4-bit run lengths of 8 bits",
         [](auto& f) { test::PutLe32(f, test::BmpCompressionField, 2); }},
        {"JPEG inside", [](auto& f) { test::PutLe32(f, test::BmpCompressionField, 4); }},
        {"too many colours", [](auto& f) { test::PutLe32(f, test::BmpColorsUsedField, 257); }},
        {"negative width", [](auto& f) { test::PutLe32(f, test::BmpWidthField, 0xFFFFFFFB); }},
        {"huge width", [](auto& f) { test::PutLe32(f, test::BmpWidthField, 0x7FFFFFFF); }},
        {"huge height", [](auto& f) { test::PutLe32(f, test::BmpHeightField, 0x7FFFFFFF); }},
        {"most negative height",
         [](auto& f) { test::PutLe32(f, test::BmpHeightField, 0x80000000); }},
        {"pixels inside the headers",
         [](auto& f) { test::PutLe32(f, test::BmpPixelOffsetField, 20); }},
        {"pixels past the end",
         [](auto& f) { test::PutLe32(f, test::BmpPixelOffsetField, 0xFFFFFFF0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> file = test::MakeBmp({5, 4, 8});
        c.damage(file);
        TBitmap bitmap;
        bitmap.SetSize(2, 2);
        bitmap.ScanLine(1)[1] = 42;
        try {
            LoadBytes(bitmap, file);
            ADD_FAILURE() << "loaded";
        } catch (const EInvalidGraphic& error) {
            EXPECT_EQ(std::string(error.what()).rfind("Bitmap image is not valid", 0), 0u)
                << error.what();
        }
        EXPECT_EQ(bitmap.Width(), 2);
        EXPECT_EQ(bitmap.ScanLine(1)[1], 42);
    }
}

TEST(BmpRead, ReadsFromTheStreamPositionAndStopsAfterThePixels) {
    const std::vector<std::uint8_t> file = test::MakeBmp({3, 2, 24});
    TMemoryStream stream;
    stream.WriteBuffer("xyz", 3);
    stream.WriteBuffer(file.data(), file.size());
    stream.WriteBuffer("tail", 4);
    stream.SetPosition(3);
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(bitmap.Width(), 3);
    EXPECT_EQ(stream.Position(), 3 + file.size());
}

} // namespace
} // namespace nimbrel
