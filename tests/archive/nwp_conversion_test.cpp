// One NWP file into its BMP file: only a whole bitmap replaces what was there.
#include "archive/bitmap_completeness.h"
#include "archive/nwp_conversion.h"
#include "support/bmp_maker.h"
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"
#include "tests/archive/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

namespace nimbrel::test {
namespace {

Bytes Prefix(const Bytes& bytes, std::size_t size) {
    return Bytes(bytes.begin(), bytes.begin() + static_cast<long>(std::min(size, bytes.size())));
}

TEST(BitmapCompleteness, AWholeBitmapIsCompleteAndOneByteLessIsNot) {
    Bytes rle = MakeBmp({.width = 4, .height = 2, .bitCount = 8, .compression = 1});
    PutLe32(rle, 34, 20);                       // the size of its compressed pixel data
    rle.resize(rle[10] + (rle[11] << 8) + 20u); // the pixel data starts at its offset field
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"24 bits, rows padded", MakeBmp({.width = 5, .height = 3, .bitCount = 24})},
        {"8 bits with a palette", MakeBmp({.width = 7, .height = 2, .bitCount = 8})},
        {"1 bit", MakeBmp({.width = 9, .height = 4, .bitCount = 1})},
        {"top row first", MakeBmp({.width = 4, .height = -3, .bitCount = 32})},
        {"core header", MakeBmp({.width = 3, .height = 3, .bitCount = 4, .headerSize = 12})},
        {"run-length coded", rle},
        {"a photograph", MakePhotoBmp(200, 150)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(IsCompleteBitmap(c.file, c.file.size()));
        EXPECT_TRUE(IsCompleteBitmap(Prefix(c.file, 54), c.file.size())); // the head suffices
        EXPECT_FALSE(IsCompleteBitmap(c.file, c.file.size() - 1));
    }
}

TEST(BitmapCompleteness, WhatIsNoBitmapIsNotComplete) {
    const Bytes good = MakeBmp({.width = 4, .height = 4, .bitCount = 24});
    const auto with = [&](std::size_t at, std::uint32_t value, bool wide = true) {
        Bytes bytes = good;
        if (wide)
            PutLe32(bytes, at, value);
        else
            PutLe16(bytes, at, static_cast<std::uint16_t>(value));
        return bytes;
    };
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"nothing", {}},
        {"a signature only", {'B', 'M'}},
        {"another signature", with(0, 0x4D42 ^ 0x0101, false)},
        {"an unknown header size", with(BmpHeaderSizeField, 20)},
        {"pixels inside the headers", with(BmpPixelOffsetField, 30)},
        {"no bits per pixel", with(BmpBitCountField, 0, false)},
        {"a negative width", with(BmpWidthField, 0x80000000u)},
        {"dimensions no file can hold", with(BmpHeightField, 0x7FFFFFFF)},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(IsCompleteBitmap(c.file, 1u << 30)) << c.name;
}

class NwpConversionTest : public ::testing::Test {
protected:
    void Put(const std::string& name, const Bytes& bytes) {
        WriteHostFile(folder.Host(name).string(), bytes);
    }
    Bytes Get(const std::string& name) { return ReadHostFile(folder.Host(name).string()); }
    // The message of the error the conversion raised, or nothing.
    std::optional<std::string> Convert(const std::string& nwp, const std::string& bmp) {
        try {
            ConvertNwpFile(folder.Windows(nwp), folder.Windows(bmp));
        } catch (const EArchive& error) {
            return error.Message();
        }
        return std::nullopt;
    }

    TempFolder folder;
};

const Bytes OldBitmap = MakeBmp({.width = 2, .height = 2});

TEST_F(NwpConversionTest, AWholePictureReplacesTheBitmapAndTheNwpFileGoes) {
    const Bytes picture = MakePhotoBmp(60, 40);
    Put("PIC.NWP", PackNwp(picture));
    Put("PIC.BMP", OldBitmap);
    EXPECT_EQ(Convert("PIC.NWP", "PIC.BMP"), std::nullopt);
    EXPECT_EQ(Get("PIC.BMP"), picture);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"PIC.BMP"});
}

TEST_F(NwpConversionTest, AKeptNwpFileStaysBesideItsBitmap) {
    const Bytes picture = MakePhotoBmp(30, 20);
    const Bytes packed = PackNwp(picture);
    Put("PIC.NWP", packed);
    EXPECT_EQ(ConvertNwpFile(folder.Windows("PIC.NWP"), folder.Windows("PIC.BMP"),
                             NwpAfterConversion::Keep),
              platform::ErrorSuccess);
    EXPECT_EQ(Get("PIC.BMP"), picture);
    EXPECT_EQ(Get("PIC.NWP"), packed);
}

TEST_F(NwpConversionTest, ACutOrDamagedNwpFileReplacesNothingAndStays) {
    const Bytes picture = MakePhotoBmp(150, 100); // about 45 KB
    const Bytes nwp = PackNwp(picture);
    const struct {
        const char* name;
        Bytes file;
        std::string message;
    } cases[] = {
        {"the signature alone", Prefix(nwp, 4),
         "Cannot convert \"" + folder.Windows("PIC.NWP") +
             "\": it does not hold a complete bitmap."},
        {"cut after 5,000 bytes", Prefix(nwp, 5000), ""},
        {"cut 20 bytes short", Prefix(nwp, nwp.size() - 20), ""},
        {"not a bitmap inside", PackNwp(Bytes(5000, 'x')), ""},
        {"not compressed", Prefix(picture, 100), NotCompressedFileMessage},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Put("PIC.NWP", c.file);
        Put("PIC.BMP", OldBitmap);
        const auto message = Convert("PIC.NWP", "PIC.BMP");
        ASSERT_TRUE(message.has_value());
        if (!c.message.empty()) {
            EXPECT_EQ(*message, c.message);
        }
        EXPECT_EQ(Get("PIC.BMP"), OldBitmap);
        EXPECT_EQ(Get("PIC.NWP"), c.file);
        EXPECT_EQ(folder.Names(), (std::vector<std::string>{"PIC.BMP", "PIC.NWP"}));
    }
}

TEST_F(NwpConversionTest, ACutNwpFileWithNoBitmapBesideItLeavesNone) {
    Put("PIC.NWP", Prefix(PackNwp(MakePhotoBmp(150, 100)), 5000));
    EXPECT_NE(Convert("PIC.NWP", "PIC.BMP"), std::nullopt);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"PIC.NWP"});
}

} // namespace
} // namespace nimbrel::test
