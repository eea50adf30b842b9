// Drawing a JPEG picture into a rectangle much smaller than the picture decodes at the
// library's reduced scale; every other use still sees, and decodes, the full picture.
#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "jpeg_fixture.h"
#include "recording_canvas.h"
#include "support/jpeg_maker.h"
#include "support/photo_bmp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace nimbrel {
namespace {

using test::JpegKind;
using test::Listener;
using test::LoadBytes;

class JpegScaledDraw : public test::JpegTest {};

void ExpectRowsEqual(const TBitmap& bitmap, const test::ReferenceImage& reference) {
    ASSERT_EQ(bitmap.Width(), reference.width);
    ASSERT_EQ(bitmap.Height(), reference.height);
    const std::size_t used = static_cast<std::size_t>(reference.width) * reference.components;
    for (int y = 0; y < reference.height; ++y)
        ASSERT_EQ(0, std::memcmp(bitmap.ScanLine(y), reference.pixels.data() + y * used, used))
            << "row " << y;
}

TEST_F(JpegScaledDraw, ADrawDecodesAtTheSmallestScaleThatCoversTheRectangle) {
    const auto bytes = test::MakeJpeg({JpegKind::Baseline420, 640, 480});
    struct Case {
        int width, height;
        int denominator;
        TOutputScale setting = TOutputScale::ScaleFull;
    };
    const Case cases[] = {
        {640, 480, 1},
        {320, 240, 2},
        {321, 240, 1},
        {320, 241, 1},
        {160, 120, 4},
        {161, 100, 2},
        {80, 60, 8},
        {65, 49, 8}, // the wallpaper preview
        {1, 1, 8},
        {0, 0, 8},
        {2000, 2000, 1},
        {640, 480, 2, TOutputScale::ScaleHalf}, // never finer than the picture's own scale
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        JpegPictureDefaults().OutputScale = c.setting;
        TJPEGImage picture;
        Listener listener(picture);
        LoadBytes(picture, bytes);
        test::RecordingCanvas canvas;
        const TRect rect{10, 20, 10 + c.width, 20 + c.height};
        picture.Draw(canvas, rect);
        picture.Draw(canvas, rect);
        EXPECT_EQ(listener.decodes, 1);
        ASSERT_EQ(canvas.calls.size(), 2u);
        EXPECT_EQ(canvas.calls[0].dest, rect);
        ExpectRowsEqual(*canvas.calls[0].bitmap,
                        test::ReferenceDecode(bytes, {.scaleDenominator = c.denominator}));
        // The picture still reports its own size.
        const int own = 1 << static_cast<int>(c.setting);
        EXPECT_EQ(picture.Width(), 640 / own);
        EXPECT_EQ(picture.Height(), 480 / own);
    }
}

TEST_F(JpegScaledDraw, AFullSizeUseAfterAReducedDrawDecodesAtFullSize) {
    for (const JpegKind kind : {JpegKind::Baseline420, JpegKind::Progressive}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const auto bytes = test::MakeJpeg({kind, 200, 120});
        const auto full = test::ReferenceDecode(bytes);
        TJPEGImage picture;
        Listener listener(picture);
        LoadBytes(picture, bytes);
        test::RecordingCanvas canvas;
        picture.Draw(canvas, {0, 0, 25, 15});
        EXPECT_EQ(canvas.calls.at(0).width, 25);

        // A copy taken now reports the full size and decodes it when it is used in full.
        TJPEGImage copy;
        copy.Assign(picture);
        EXPECT_EQ(copy.Width(), 200);
        ExpectRowsEqual(copy.DecodeBitmap(), full);

        TBitmap assigned;
        assigned.Assign(picture);
        ExpectRowsEqual(assigned, full);
        EXPECT_EQ(listener.decodes, 2);
        // The full decode now serves every draw, small or not.
        picture.Draw(canvas, {0, 0, 25, 15});
        picture.Draw(canvas, {0, 0, 200, 120});
        EXPECT_EQ(listener.decodes, 2);
        EXPECT_EQ(canvas.calls.back().width, 200);
        EXPECT_EQ(picture.Width(), 200);
    }
}

// Point sampling as the canvas stretches: the source pixel under each target pixel's centre.
std::vector<std::uint8_t> Stretched(const TBitmap& bitmap, int width, int height) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < height; ++y) {
        const int sy = static_cast<int>((y + 0.5) * bitmap.Height() / height);
        for (int x = 0; x < width; ++x) {
            const int sx = static_cast<int>((x + 0.5) * bitmap.Width() / width);
            const std::uint8_t* p = bitmap.ScanLine(sy) + 3 * sx;
            out.insert(out.end(), p, p + 3);
        }
    }
    return out;
}

// The full picture averaged over the area under each target pixel: what the eye sees.
std::vector<std::uint8_t> Averaged(const TBitmap& bitmap, int width, int height) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < height; ++y) {
        const int y0 = y * bitmap.Height() / height, y1 = (y + 1) * bitmap.Height() / height;
        for (int x = 0; x < width; ++x) {
            const int x0 = x * bitmap.Width() / width, x1 = (x + 1) * bitmap.Width() / width;
            for (int c = 0; c < 3; ++c) {
                long sum = 0;
                for (int sy = y0; sy < y1; ++sy)
                    for (int sx = x0; sx < x1; ++sx)
                        sum += bitmap.ScanLine(sy)[3 * sx + c];
                out.push_back(static_cast<std::uint8_t>(sum / ((y1 - y0) * (x1 - x0))));
            }
        }
    }
    return out;
}

double MeanDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += std::abs(a[i] - b[i]);
    return sum / static_cast<double>(a.size());
}

std::vector<std::uint8_t> PhotoJpeg(int width, int height, std::uint32_t seed) {
    const auto bmp = test::MakePhotoBmp(width, height, seed);
    TMemoryStream file = test::StreamOf(bmp);
    TBitmap bitmap;
    bitmap.LoadFromStream(file);
    TJPEGImage writer;
    writer.Assign(bitmap);
    TMemoryStream jpeg;
    writer.SaveToStream(jpeg);
    return jpeg.CopyOfBytes();
}

TEST_F(JpegScaledDraw, APreviewFromAReducedDecodeLooksLikeTheFullDecodeStretched) {
    constexpr int BoxWidth = 65, BoxHeight = 49;
    struct Photo {
        int width, height;
        std::uint32_t seed;
    };
    for (const Photo& photo :
         {Photo{1600, 1200, 1}, Photo{1024, 768, 2}, Photo{2000, 1125, 3}, Photo{800, 600, 4}}) {
        SCOPED_TRACE(std::to_string(photo.width) + "x" + std::to_string(photo.height));
        const auto bytes = PhotoJpeg(photo.width, photo.height, photo.seed);
        TJPEGImage full;
        LoadBytes(full, bytes);
        const TBitmap& fullBitmap = full.DecodeBitmap();
        TJPEGImage preview;
        LoadBytes(preview, bytes);
        test::RecordingCanvas canvas;
        preview.Draw(canvas, {0, 0, BoxWidth, BoxHeight});
        const TBitmap& reduced = *canvas.calls.at(0).bitmap;
        EXPECT_LT(reduced.Width(), photo.width / 4);

        const auto painted = Stretched(reduced, BoxWidth, BoxHeight);
        const double toStretched =
            MeanDifference(painted, Stretched(fullBitmap, BoxWidth, BoxHeight));
        const double toAveraged =
            MeanDifference(painted, Averaged(fullBitmap, BoxWidth, BoxHeight));
        RecordProperty("mean_difference_to_full_stretched_" + std::to_string(photo.seed),
                       std::to_string(toStretched));
        RecordProperty("mean_difference_to_full_averaged_" + std::to_string(photo.seed),
                       std::to_string(toAveraged));
        // Levels of 255 per colour (measured: about 1.6 and 1.1).
        EXPECT_LT(toStretched, 4.0);
        EXPECT_LT(toAveraged, 2.5);
    }
}

} // namespace
} // namespace nimbrel
