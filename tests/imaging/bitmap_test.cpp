#include "imaging/bitmap.h"
#include "imaging/graphic_errors.h"
#include "recording_canvas.h"

#include <gtest/gtest.h>

#include <cstring>

namespace nimbrel {
namespace {

void FillPattern(TBitmap& bitmap) {
    const int bytes = bitmap.Width() * (bitmap.BitsPerPixel() / 8);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int i = 0; i < bytes; ++i)
            bitmap.ScanLine(y)[i] = static_cast<std::uint8_t>(y * 31 + i * 7 + 1);
}

TEST(Bitmap, RowsAreTopDownPaddedToFourBytesWithZeroPadding) {
    struct Case {
        int width;
        TPixelFormat format;
        std::size_t rowBytes;
    };
    for (const Case& c :
         {Case{1, TPixelFormat::pf8bit, 4}, Case{4, TPixelFormat::pf8bit, 4},
          Case{5, TPixelFormat::pf8bit, 8}, Case{1, TPixelFormat::pf24bit, 4},
          Case{17, TPixelFormat::pf24bit, 52}, Case{4, TPixelFormat::pf24bit, 12}}) {
        TBitmap bitmap;
        bitmap.SetPixelFormat(c.format);
        bitmap.SetSize(c.width, 3);
        EXPECT_EQ(bitmap.RowBytes(), c.rowBytes) << c.width;
        EXPECT_EQ(bitmap.RowStep(), static_cast<std::ptrdiff_t>(c.rowBytes));
        EXPECT_EQ(bitmap.ScanLine(1), bitmap.ScanLine(0) + bitmap.RowStep());
        EXPECT_EQ(bitmap.ScanLine(2), bitmap.ScanLine(0) + 2 * bitmap.RowStep());
        for (std::size_t i = 0; i < c.rowBytes * 3; ++i)
            ASSERT_EQ(bitmap.ScanLine(0)[i], 0);
    }
}

TEST(Bitmap, ResizingKeepsTheSharedPartAndClearsTheRest) {
    TBitmap bitmap;
    bitmap.SetSize(5, 4);
    FillPattern(bitmap);
    TBitmap before;
    before.Assign(bitmap);

    bitmap.SetSize(3, 6);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(0, std::memcmp(bitmap.ScanLine(y), before.ScanLine(y), 9)) << y;
        for (std::size_t i = 9; i < bitmap.RowBytes(); ++i)
            EXPECT_EQ(bitmap.ScanLine(y)[i], 0) << "padding of row " << y;
    }
    for (int y = 4; y < 6; ++y)
        for (std::size_t i = 0; i < bitmap.RowBytes(); ++i)
            EXPECT_EQ(bitmap.ScanLine(y)[i], 0);

    bitmap.SetWidth(0);
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Height(), 0);
    EXPECT_THROW(bitmap.SetSize(-1, 2), EInvalidGraphicOperation);
}

TEST(Bitmap, CopyIsIndependentAndOwnsItsOwnPalette) {
    TBitmap source;
    source.SetPixelFormat(TPixelFormat::pf8bit);
    source.SetPalette(CreatePalette({0x300, {{1, 2, 3, 0}, {4, 5, 6, 0}}}));
    source.SetSize(3, 2);
    FillPattern(source);

    TBitmap copy;
    copy.Assign(source);
    EXPECT_EQ(copy.PixelFormat(), TPixelFormat::pf8bit);
    ASSERT_TRUE(copy.Palette());
    EXPECT_NE(copy.Palette(), source.Palette());
    EXPECT_EQ(*copy.Palette(), *source.Palette());
    EXPECT_EQ(0, std::memcmp(copy.ScanLine(0), source.ScanLine(0), source.RowBytes() * 2));
    source.ScanLine(0)[0] = 99;
    EXPECT_NE(copy.ScanLine(0)[0], 99);
}

TEST(Bitmap, PixelFormatConversionGoesThroughThePalette) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(TPixelFormat::pf8bit);
    bitmap.SetPalette(CreatePalette({0x300, {{10, 20, 30, 0}, {200, 100, 50, 0}}}));
    bitmap.SetSize(3, 1);
    bitmap.ScanLine(0)[0] = 1;
    bitmap.ScanLine(0)[1] = 0;
    bitmap.ScanLine(0)[2] = 7; // past the palette: black

    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    const std::uint8_t expected24[] = {50, 100, 200, 30, 20, 10, 0, 0, 0};
    EXPECT_EQ(0, std::memcmp(bitmap.ScanLine(0), expected24, sizeof expected24));

    bitmap.SetPixelFormat(TPixelFormat::pf8bit); // back to the nearest entries
    EXPECT_EQ(bitmap.ScanLine(0)[0], 1);
    EXPECT_EQ(bitmap.ScanLine(0)[1], 0);
}

TEST(Bitmap, DrawsStretchedOnlyWhenItHasPixels) {
    test::RecordingCanvas canvas;
    TBitmap bitmap;
    bitmap.Draw(canvas, {0, 0, 65, 49});
    EXPECT_TRUE(canvas.calls.empty());
    bitmap.SetSize(2, 2);
    bitmap.Draw(canvas, {0, 0, 65, 49});
    ASSERT_EQ(canvas.calls.size(), 1u);
    EXPECT_EQ(canvas.calls[0].dest, (TRect{0, 0, 65, 49}));
    EXPECT_EQ(canvas.calls[0].bitmap, &bitmap);
}

} // namespace
} // namespace nimbrel
