// Loading and decoding JPEG pictures against plain library decodes of the same bytes.
#include "imaging/jpeg_image.h"
#include "jpeg_fixture.h"
#include "recording_canvas.h"
#include "support/jpeg_maker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

namespace nimbrel {
namespace {

using test::JpegKind;
using test::JpegShape;
using test::Listener;
using test::LoadBytes;

class JpegDecode : public test::JpegTest {};

std::string Describe(const JpegShape& s) {
    return "kind " + std::to_string(static_cast<int>(s.kind)) + " " + std::to_string(s.width) +
           "x" + std::to_string(s.height);
}

// Every decoded row equals the reference row byte for byte; the padding stays zero.
void ExpectRowsEqual(const TBitmap& bitmap, const test::ReferenceImage& reference) {
    ASSERT_EQ(bitmap.Width(), reference.width);
    ASSERT_EQ(bitmap.Height(), reference.height);
    const std::size_t used = static_cast<std::size_t>(reference.width) * reference.components;
    for (int y = 0; y < reference.height; ++y) {
        const std::uint8_t* row = bitmap.ScanLine(y);
        ASSERT_EQ(0, std::memcmp(row, reference.pixels.data() + y * used, used)) << "row " << y;
        for (std::size_t i = used; i < bitmap.RowBytes(); ++i)
            ASSERT_EQ(row[i], 0) << "padding of row " << y;
    }
}

TEST_F(JpegDecode, ColourFilesDecodeOnceIntoRowsEqualToTheLibrarys) {
    const JpegShape cases[] = {
        {JpegKind::Baseline420, 640, 480}, {JpegKind::Baseline444, 33, 20},
        {JpegKind::Progressive, 50, 37},   {JpegKind::Restart, 40, 35},
        {JpegKind::Baseline420, 1, 1},     {JpegKind::Baseline420, 17, 13},
        {JpegKind::Progressive, 17, 13},
    };
    for (const JpegShape& shape : cases) {
        SCOPED_TRACE(Describe(shape));
        const auto bytes = test::MakeJpeg(shape);
        TJPEGImage picture;
        Listener listener(picture);
        LoadBytes(picture, bytes);

        EXPECT_EQ(picture.Width(), shape.width);
        EXPECT_EQ(picture.Height(), shape.height);
        EXPECT_EQ(picture.Progressive(), shape.kind == JpegKind::Progressive);
        EXPECT_FALSE(picture.Empty());
        EXPECT_EQ(listener.decodes, 0) << "size known without decoding";

        test::RecordingCanvas canvas;
        picture.Draw(canvas, {0, 0, 65, 49});
        picture.Draw(canvas, {1, 2, 30, 40});
        EXPECT_EQ(listener.decodes, 1) << "decoded once, drawn twice";
        ASSERT_EQ(canvas.calls.size(), 2u);
        EXPECT_EQ(canvas.calls[0].bitmap, canvas.calls[1].bitmap);
        EXPECT_EQ(canvas.calls[1].dest, (TRect{1, 2, 30, 40}));

        const TBitmap& bitmap = picture.DecodeBitmap();
        EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf24bit);
        ExpectRowsEqual(bitmap, test::ReferenceDecode(bytes));
        ASSERT_FALSE(listener.reports.empty());
        EXPECT_EQ(listener.reports.back().stage, TProgressStage::psEnding);
        EXPECT_EQ(listener.reports.back().percent, 100);
    }
}

TEST_F(JpegDecode, GrayscaleGivesAnEightBitBitmapWithAGrayPaletteAndAChange) {
    for (const JpegShape& shape :
         {JpegShape{JpegKind::Grayscale, 64, 48}, JpegShape{JpegKind::Grayscale, 1, 1}}) {
        SCOPED_TRACE(Describe(shape));
        const auto bytes = test::MakeJpeg(shape);
        TJPEGImage picture;
        LoadBytes(picture, bytes);
        EXPECT_TRUE(picture.Grayscale());
        Listener listener(picture);
        const TBitmap& bitmap = picture.DecodeBitmap();

        EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
        ASSERT_TRUE(bitmap.Palette());
        const auto& entries = bitmap.Palette()->Entries;
        EXPECT_GE(entries.size(), 2u);
        EXPECT_LE(entries.size(), 236u);
        for (const TPaletteEntry& e : entries) {
            EXPECT_EQ(e.Red, e.Green);
            EXPECT_EQ(e.Green, e.Blue);
            EXPECT_EQ(e.Flags, 0);
        }
        EXPECT_GE(listener.changes, 1);
        EXPECT_TRUE(picture.PaletteModified());

        const auto reference = test::ReferenceDecode(bytes, {.quantize = true});
        ExpectRowsEqual(bitmap, reference);
        ASSERT_EQ(entries.size() * 3, reference.colormap.size());
        for (std::size_t i = 0; i < entries.size(); ++i)
            EXPECT_EQ(entries[i].Red, reference.colormap[3 * i]);
    }
}

TEST_F(JpegDecode, EightBitDepthQuantizesColourWithThePaletteInRedGreenBlue) {
    JpegPictureDefaults().OutputDepth = TOutputDepth::Depth8;
    const auto bytes = test::MakeJpeg({JpegKind::Baseline444, 40, 30});
    TJPEGImage picture;
    LoadBytes(picture, bytes);
    const TBitmap& bitmap = picture.DecodeBitmap();
    ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
    const auto reference = test::ReferenceDecode(bytes, {.bgr = false, .quantize = true});
    ExpectRowsEqual(bitmap, reference);
    const auto& entries = bitmap.Palette()->Entries;
    ASSERT_EQ(entries.size() * 3, reference.colormap.size());
    EXPECT_LE(entries.size(), 236u);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].Red, reference.colormap[3 * i]) << i;
        EXPECT_EQ(entries[i].Green, reference.colormap[3 * i + 1]) << i;
        EXPECT_EQ(entries[i].Blue, reference.colormap[3 * i + 2]) << i;
    }
}

TEST_F(JpegDecode, ShowingProgressivelyEndsWithTheFullQualityPicture) {
    JpegPictureDefaults().ShowProgressively = true;
    const auto bytes = test::MakeJpeg({JpegKind::Progressive, 48, 40});
    TJPEGImage picture;
    Listener listener(picture);
    LoadBytes(picture, bytes);
    ExpectRowsEqual(picture.DecodeBitmap(), test::ReferenceDecode(bytes));
    EXPECT_EQ(listener.decodes, 1);
}

TEST_F(JpegDecode, ReducedScaleReportsAndDecodesTheScaledSize) {
    const auto bytes = test::MakeJpeg({JpegKind::Baseline420, 37, 21});
    const std::pair<TOutputScale, int> scales[] = {{TOutputScale::ScaleHalf, 2},
                                                   {TOutputScale::ScaleQuarter, 4},
                                                   {TOutputScale::ScaleEighth, 8}};
    for (const auto& [scale, denominator] : scales) {
        SCOPED_TRACE(denominator);
        JpegPictureDefaults().OutputScale = scale;
        TJPEGImage picture;
        LoadBytes(picture, bytes);
        const auto reference = test::ReferenceDecode(bytes, {.scaleDenominator = denominator});
        EXPECT_EQ(picture.Width(), reference.width);
        EXPECT_EQ(picture.Height(), reference.height);
        ExpectRowsEqual(picture.DecodeBitmap(), reference);
    }
}

TEST_F(JpegDecode, AFileCutInTheMiddleDecodesWithoutError) {
    for (const JpegKind kind : {JpegKind::Baseline420, JpegKind::Progressive}) {
        auto bytes = test::MakeJpeg({kind, 64, 64});
        bytes.resize(bytes.size() / 2);
        TJPEGImage picture;
        LoadBytes(picture, bytes);
        test::RecordingCanvas canvas;
        EXPECT_NO_THROW(picture.Draw(canvas, {0, 0, 10, 10}));
        EXPECT_EQ(picture.DecodeBitmap().Width(), 64);
        EXPECT_EQ(picture.DecodeBitmap().Height(), 64);
    }
}

TEST_F(JpegDecode, ZeroBytesLoadButTheFirstDrawRaisesTheEmptyInputError) {
    TJPEGImage picture;
    Listener listener(picture);
    LoadBytes(picture, {});
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);
    EXPECT_FALSE(picture.Empty());
    EXPECT_EQ(listener.changes, 1);

    test::RecordingCanvas canvas;
    const std::string expected = "JPEG error #" + std::to_string(JERR_INPUT_EMPTY);
    try {
        picture.Draw(canvas, {0, 0, 65, 49});
        ADD_FAILURE() << "drew";
    } catch (const EJPEG& error) {
        EXPECT_EQ(error.what(), expected);
    }
    // The failed decode's (empty) bitmap stays: a second draw raises nothing.
    EXPECT_NO_THROW(picture.Draw(canvas, {0, 0, 65, 49}));
    EXPECT_TRUE(canvas.calls.empty());
}

TEST_F(JpegDecode, BytesThatAreNoJpegFailAtLoad) {
    const std::vector<std::vector<std::uint8_t>> cases = {
        {'B', 'M', 0, 0, 0, 0},
        {0xFF},
        {0xFF, 0xD8}, // a start marker and nothing after it
        {0xFF, 0xD8, 0xFF, 0xD9},
    };
    for (const auto& bytes : cases) {
        TJPEGImage picture;
        try {
            LoadBytes(picture, bytes);
            ADD_FAILURE() << "loaded " << bytes.size() << " bytes";
        } catch (const EJPEG& error) {
            EXPECT_EQ(std::string(error.what()).rfind("JPEG error #", 0), 0u) << error.what();
        }
        EXPECT_EQ(picture.Width(), 0);
    }
}

TEST_F(JpegDecode, ProgressReportsRiseWithTheRowsDecoded) {
    UseFastClock();
    const auto bytes = test::MakeJpeg({JpegKind::Baseline420, 64, 256});
    TJPEGImage picture;
    Listener listener(picture);
    LoadBytes(picture, bytes);
    picture.DecodeBitmap();

    ASSERT_GE(listener.reports.size(), 4u);
    EXPECT_EQ(listener.reports.front().stage, TProgressStage::psStarting);
    EXPECT_EQ(listener.reports.front().percent, 0);
    int lastPercent = 0;
    int lastBottom = 0;
    for (std::size_t i = 1; i + 1 < listener.reports.size(); ++i) {
        const auto& r = listener.reports[i];
        EXPECT_EQ(r.stage, TProgressStage::psRunning);
        EXPECT_GT(r.percent, lastPercent);
        EXPECT_LE(r.percent, 100);
        EXPECT_EQ(r.rect.Left, 0);
        EXPECT_EQ(r.rect.Right, 64);
        EXPECT_EQ(r.rect.Top, lastBottom) << "rows follow on from the last report";
        EXPECT_EQ(r.redraw, r.rect.Height() >= 4);
        EXPECT_TRUE(r.msg.empty());
        lastPercent = r.percent;
        lastBottom = r.rect.Bottom;
    }
    EXPECT_EQ(listener.reports.back().stage, TProgressStage::psEnding);
}

TEST_F(JpegDecode, ProgressIsReportedAtMostEveryHalfSecond) {
    const auto bytes = test::MakeJpeg({JpegKind::Baseline420, 64, 256});
    auto runningReports = [&](std::uint32_t millisecondsPerReading) {
        OverrideTickCount([tick = std::uint32_t{1}, millisecondsPerReading]() mutable {
            return tick += millisecondsPerReading;
        });
        TJPEGImage picture;
        Listener listener(picture);
        LoadBytes(picture, bytes);
        picture.DecodeBitmap();
        int running = 0;
        for (const auto& r : listener.reports)
            running += r.stage == TProgressStage::psRunning;
        return running;
    };
    const int every = runningReports(1000);
    const int half = runningReports(250);  // every second reading is due
    const int fifth = runningReports(100); // every fifth
    EXPECT_EQ(runningReports(0), 0);
    EXPECT_GT(fifth, 0);
    EXPECT_LT(fifth, half);
    EXPECT_LT(half, every);
}

TEST_F(JpegDecode, AbortFromTheListenerKeepsThePartlyDecodedBitmapQuietly) {
    UseFastClock();
    const auto bytes = test::MakeJpeg({JpegKind::Baseline420, 64, 256});
    TJPEGImage picture;
    Listener listener(picture);
    picture.OnProgress = [&](TGraphic&, TProgressStage stage, std::uint8_t percent, bool,
                             const TRect&, const std::string&) {
        listener.reports.push_back({stage, percent, false, {}, {}});
        if (stage == TProgressStage::psRunning && percent >= 30)
            throw EAbort();
    };
    LoadBytes(picture, bytes);
    test::RecordingCanvas canvas;
    ASSERT_NO_THROW(picture.Draw(canvas, {0, 0, 65, 49}));

    const TBitmap& bitmap = picture.DecodeBitmap();
    ASSERT_EQ(bitmap.Height(), 256);
    const auto reference = test::ReferenceDecode(bytes);
    const std::size_t used = 64 * 3;
    EXPECT_EQ(0, std::memcmp(bitmap.ScanLine(0), reference.pixels.data(), used)) << "top decoded";
    const std::vector<std::uint8_t> zeros(used, 0);
    EXPECT_EQ(0, std::memcmp(bitmap.ScanLine(255), zeros.data(), used)) << "bottom left undecoded";
    EXPECT_EQ(listener.reports.back().stage, TProgressStage::psEnding);
    EXPECT_EQ(listener.reports.back().percent, 0);

    const std::size_t reportsBefore = listener.reports.size();
    picture.Draw(canvas, {0, 0, 65, 49});
    EXPECT_EQ(listener.reports.size(), reportsBefore) << "not decoded again";
}

} // namespace
} // namespace nimbrel
