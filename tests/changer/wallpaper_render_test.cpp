// Rendering one screen-sized picture: the three ways of sizing, the nine positions, several
// monitors, and the JPEG decoded small.
#include "changer/bitmap_canvas.h"
#include "changer/wallpaper_render.h"
#include "imaging/jpeg_image.h"
#include "imaging/picture.h"
#include "imaging/picture_formats.h"
#include "support/bmp_maker.h"
#include "support/jpeg_maker.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace nimbrel::changer {
namespace {

struct Colour {
    int red, green, blue;
};

Colour At(const TBitmap& bitmap, int x, int y) {
    const std::uint8_t* pixel = bitmap.ScanLine(y) + 3 * x;
    return {pixel[2], pixel[1], pixel[0]};
}

bool Near(Colour a, Colour b, int tolerance = 6) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance;
}

constexpr Colour Black{0, 0, 0};
constexpr Colour Red{200, 30, 40};

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override { RegisterPictureFormats(); }
    void TearDown() override { UnregisterPictureFormats(); }

    std::string Picture(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        env_.WriteHostFile('C', "pics/" + name, std::string(bytes.begin(), bytes.end()));
        return "C:\\PICS\\" + name;
    }
    std::string SolidBmp(int width, int height) {
        return Picture("SOLID.BMP", test::MakeSolidBmp(width, height, {200, 30, 40}));
    }

    test::TempEnvironment env_;
};

TEST_F(RenderTest, OriginalSizeIsPlacedAtEachOfTheNinePositionsOnBlack) {
    const std::string path = SolidBmp(40, 30);
    const ScreenLayout screen{200, 100, {}};
    struct Case {
        Placement placement;
        int left, top;
    };
    const Case cases[] = {
        {Placement::Center, 80, 35},       {Placement::LeftCenter, 0, 35},
        {Placement::RightCenter, 160, 35}, {Placement::TopCenter, 80, 0},
        {Placement::BottomCenter, 80, 70}, {Placement::TopLeft, 0, 0},
        {Placement::TopRight, 160, 0},     {Placement::BottomLeft, 0, 70},
        {Placement::BottomRight, 160, 70},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.placement));
        const auto wallpaper = RenderWallpaper(path, screen, {Sizing::Original, 0, 0, c.placement});
        ASSERT_EQ(wallpaper->Width(), 200);
        ASSERT_EQ(wallpaper->Height(), 100);
        EXPECT_EQ(wallpaper->PixelFormat(), TPixelFormat::pf24bit);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x) {
                const bool inside = x >= c.left && x < c.left + 40 && y >= c.top && y < c.top + 30;
                ASSERT_TRUE(Near(At(*wallpaper, x, y), inside ? Red : Black, 0))
                    << "at " << x << "," << y;
            }
    }
}

TEST_F(RenderTest, ALargerPictureIsCutAtTheScreensEdges) {
    const std::string path = SolidBmp(300, 250);
    const auto wallpaper =
        RenderWallpaper(path, {200, 100, {}}, {Sizing::Original, 0, 0, Placement::BottomRight});
    EXPECT_TRUE(Near(At(*wallpaper, 0, 0), Red, 0));
    EXPECT_TRUE(Near(At(*wallpaper, 199, 99), Red, 0));
}

TEST_F(RenderTest, ResizeScalesToTheStoredSizeAndPlacesIt) {
    const std::string path = SolidBmp(10, 10);
    const auto wallpaper =
        RenderWallpaper(path, {200, 100, {}}, {Sizing::Resize, 50, 40, Placement::BottomRight});
    EXPECT_TRUE(Near(At(*wallpaper, 150, 60), Red, 0));
    EXPECT_TRUE(Near(At(*wallpaper, 199, 99), Red, 0));
    EXPECT_TRUE(Near(At(*wallpaper, 149, 99), Black, 0));
    EXPECT_TRUE(Near(At(*wallpaper, 199, 59), Black, 0));
}

TEST_F(RenderTest, FitToScreenStretchesOverEveryMonitor) {
    // Left half red, right half blue: each monitor shows the split in its own middle.
    TBitmap split;
    split.SetSize(64, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* pixel = split.ScanLine(y) + 3 * x;
            pixel[0] = x < 32 ? 40 : 220;
            pixel[1] = 30;
            pixel[2] = x < 32 ? 200 : 10;
        }
    TBitmap wallpaper;
    wallpaper.SetSize(300, 100);
    const ScreenLayout screen{300, 100, {{0, 0, 100, 100}, {100, 0, 200, 80}}};
    for (const MonitorRect& monitor : screen.Monitors()) {
        BitmapCanvas canvas(wallpaper, {monitor.left, monitor.top, monitor.left + monitor.width,
                                        monitor.top + monitor.height});
        split.Draw(canvas, PlacePicture(64, 32, monitor, {}));
    }
    EXPECT_TRUE(Near(At(wallpaper, 10, 50), {200, 30, 40}));
    EXPECT_TRUE(Near(At(wallpaper, 90, 50), {10, 30, 220}));
    EXPECT_TRUE(Near(At(wallpaper, 190, 40), {200, 30, 40}));
    EXPECT_TRUE(Near(At(wallpaper, 210, 40), {10, 30, 220}));
    EXPECT_TRUE(Near(At(wallpaper, 299, 79), {10, 30, 220}));
    EXPECT_TRUE(Near(At(wallpaper, 200, 90), Black, 0)); // below the shorter monitor
}

TEST_F(RenderTest, AJpegFitsTheScreenFromAReducedDecode) {
    const std::string path = Picture("BIG.JPG", test::MakeSolidJpeg(1600, 1200, {200, 30, 40}));
    const auto wallpaper = RenderWallpaper(path, {190, 140, {}}, {});
    for (int y = 0; y < 140; y += 13)
        for (int x = 0; x < 190; x += 17)
            ASSERT_TRUE(Near(At(*wallpaper, x, y), Red)) << x << "," << y;
}

// A JPEG far larger than the screen in its original size decodes only the part shown (its
// block columns and rows), with the pixels of the whole decode, for each kind of JPEG and
// at the corners as in the middle.
TEST_F(RenderTest, AHugeJpegInItsOriginalSizeDecodesOnlyThePartShown) {
    const ScreenLayout screen{300, 200, {}};
    for (const test::JpegKind kind : {test::JpegKind::Baseline420, test::JpegKind::Progressive,
                                      test::JpegKind::Grayscale, test::JpegKind::Cmyk}) {
        const std::string path = Picture("HUGE.JPG", test::MakeJpeg({kind, 1203, 907, 90}));
        TPicture whole;
        whole.LoadFromFile(path);
        const TBitmap& full = dynamic_cast<TJPEGImage&>(*whole.Graphic()).DecodeBitmap();
        for (const Placement placement : {Placement::Center, Placement::BottomRight}) {
            SCOPED_TRACE(static_cast<int>(kind) * 10 + static_cast<int>(placement));
            const auto wallpaper =
                RenderWallpaper(path, screen, {Sizing::Original, 0, 0, placement});
            const TRect place = PlacePicture(1203, 907, screen.Monitors().front(),
                                             {Sizing::Original, 0, 0, placement});
            TBitmap expected;
            expected.SetPixelFormat(TPixelFormat::pf24bit);
            expected.SetSize(300, 200);
            BitmapCanvas(expected, {0, 0, 300, 200}).StretchDraw(place, full);
            int differences = 0;
            for (int y = 0; y < 200; ++y)
                for (int x = 0; x < 300; ++x)
                    differences += !Near(At(*wallpaper, x, y), At(expected, x, y), 1);
            EXPECT_EQ(differences, 0);
        }
    }
}

// A screen-sized stretch is drawn in two halves at once; drawn in narrow strips, each alone,
// it must give the very same pixels, shrinking and growing.
TEST_F(RenderTest, AStretchDrawnInStripsEqualsItDrawnWhole) {
    TBitmap source;
    source.SetPixelFormat(TPixelFormat::pf24bit);
    source.SetSize(1500, 1000);
    for (int y = 0; y < source.Height(); ++y)
        for (int x = 0; x < source.Width() * 3; ++x)
            source.ScanLine(y)[x] =
                static_cast<std::uint8_t>((x * 7 + y * 13 + (x * y) % 31) & 255);
    for (const TRect dest : {TRect{0, 0, 1024, 600}, TRect{-40, -30, 2000, 1400}}) {
        TBitmap whole, strips;
        for (TBitmap* target : {&whole, &strips}) {
            target->SetPixelFormat(TPixelFormat::pf24bit);
            target->SetSize(1024, 600);
        }
        BitmapCanvas(whole, {0, 0, 1024, 600}).StretchDraw(dest, source);
        for (int top = 0; top < 600; top += 100)
            BitmapCanvas(strips, {0, top, 1024, top + 100}).StretchDraw(dest, source);
        int differences = 0;
        for (int y = 0; y < 600; ++y)
            differences += std::memcmp(whole.ScanLine(y), strips.ScanLine(y), 1024 * 3) != 0;
        EXPECT_EQ(differences, 0) << dest.Right;
    }
}

// A screen-sized stretch of a picture still decoding follows the decoder on another thread,
// reading only rows said to be final: fed in batches, it gives the pixels of the stretch of
// the finished picture; a decode given up midway ends it without waiting for rows.
TEST_F(RenderTest, AStretchFollowingTheDecodeEqualsItDrawnOnceDecoded) {
    TBitmap source;
    source.SetPixelFormat(TPixelFormat::pf24bit);
    source.SetSize(1500, 1000);
    auto paint = [&](int fromRow, int toRow, int seed) {
        for (int y = fromRow; y < toRow; ++y)
            for (int x = 0; x < source.Width() * 3; ++x)
                source.ScanLine(y)[x] =
                    static_cast<std::uint8_t>((x * 7 + y * 13 + (x * y) % 31 + seed) & 255);
    };
    const TRect dest{-40, -30, 1100, 700};
    TBitmap whole, followed;
    for (TBitmap* target : {&whole, &followed}) {
        target->SetPixelFormat(TPixelFormat::pf24bit);
        target->SetSize(1024, 600);
    }
    paint(0, 1000, 0);
    BitmapCanvas(whole, {0, 0, 1024, 600}).StretchDraw(dest, source);

    paint(0, 1000, 99); // rows not yet decoded hold something else
    {
        BitmapCanvas canvas(followed, {0, 0, 1024, 600});
        for (int rows = 0; rows < 1000; rows += 16) {
            paint(rows, std::min(rows + 16, 1000), 0);
            canvas.RowsDecoded(dest, source, std::min(rows + 16, 1000));
        }
        canvas.StretchDraw(dest, source);
    }
    int differences = 0;
    for (int y = 0; y < 600; ++y)
        differences += std::memcmp(whole.ScanLine(y), followed.ScanLine(y), 1024 * 3) != 0;
    EXPECT_EQ(differences, 0);

    BitmapCanvas abandoned(followed, {0, 0, 1024, 600});
    abandoned.RowsDecoded(dest, source, 100); // then the decode fails: the canvas goes
}

// A JPEG fitted to a screen large enough to follow its decode, for each kind of JPEG (a grey
// one is drawn at the end): the pixels of the picture drawn once decoded.
TEST_F(RenderTest, AJpegResampledWhileItDecodesEqualsItDrawnOnceDecoded) {
    const ScreenLayout screen{640, 480, {}};
    for (const test::JpegKind kind : {test::JpegKind::Baseline420, test::JpegKind::Progressive,
                                      test::JpegKind::Grayscale, test::JpegKind::Cmyk}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const std::string path = Picture("LARGE.JPG", test::MakeJpeg({kind, 1803, 1411, 90}));
        const auto wallpaper = RenderWallpaper(path, screen, {});
        TPicture picture;
        picture.LoadFromFile(path);
        TBitmap expected;
        expected.SetPixelFormat(TPixelFormat::pf24bit);
        expected.SetSize(640, 480);
        BitmapCanvas canvas(expected, {0, 0, 640, 480});
        picture.Graphic()->Draw(canvas, {0, 0, 640, 480});
        int differences = 0;
        for (int y = 0; y < 480; ++y)
            differences += std::memcmp(wallpaper->ScanLine(y), expected.ScanLine(y), 640 * 3) != 0;
        EXPECT_EQ(differences, 0);
    }
}

TEST_F(RenderTest, DamagedPicturesAreRefusedWithTheirCause) {
    auto truncated = test::MakeJpeg({test::JpegKind::Baseline420, 64, 64, 90});
    truncated.resize(truncated.size() / 2);
    const std::string cases[] = {
        Picture("EMPTY.JPG", {}),
        Picture("NOTJPEG.JPG", {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'}),
        Picture("HALF.JPG", truncated),
        Picture("BAD.BMP", {'B', 'M', 0, 0}),
        "C:\\PICS\\MISSING.JPG",
    };
    for (const std::string& path : cases) {
        SCOPED_TRACE(path);
        EXPECT_THROW(RenderWallpaper(path, {64, 48, {}}, {}), EPictureNotShown);
    }
}

} // namespace
} // namespace nimbrel::changer
