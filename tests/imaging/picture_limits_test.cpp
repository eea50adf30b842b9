// The pixel budget and the JPEG library's memory cap: a small file that claims a huge picture
// is refused from its header, before any pixel memory is taken.
#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "imaging/picture_limits.h"
#include "jpeg_fixture.h"
#include "support/bmp_maker.h"
#include "support/jpeg_maker.h"

#include <gtest/gtest.h>

#include <string>

#include <jerror.h>

namespace nimbrel {
namespace {

using test::JpegKind;
using test::LoadBytes;

class PictureBudget : public test::JpegTest {
protected:
    void TearDown() override {
        PictureLimits() = saved_;
        JpegTest::TearDown();
    }

private:
    TPictureLimits saved_ = PictureLimits();
};

void LoadBitmap(TBitmap& bitmap, const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream = test::StreamOf(bytes);
    bitmap.LoadFromStream(stream);
}

std::string MessageOf(const auto& action) {
    try {
        action();
    } catch (const EInvalidGraphic& error) {
        return error.what();
    }
    return "(no error)";
}

TEST_F(PictureBudget, AJpegClaimingAHugePictureFailsAtLoadAndAtDecode) {
    struct Case {
        JpegKind kind;
        int width, height;
    };
    const Case cases[] = {
        {JpegKind::Baseline420, 20000, 20000},
        {JpegKind::Baseline420, 65500, 65500},
        {JpegKind::Progressive, 65500, 65500},
        {JpegKind::Progressive, 65500, 2443}, // just over 160 megapixels
    };
    for (const Case& c : cases) {
        auto bytes = test::MakeJpeg({c.kind, 16, 16});
        test::SetFrameSize(bytes, c.width, c.height);
        const std::string expected = "JPEG image is too large: " + std::to_string(c.width) + " x " +
                                     std::to_string(c.height) + " pixels";
        SCOPED_TRACE(expected + ", " + std::to_string(bytes.size()) + " bytes");
        TJPEGImage picture;
        EXPECT_EQ(MessageOf([&] { LoadBytes(picture, bytes); }), expected);
        // Like any header the library rejects: the bytes are held, the size is not.
        EXPECT_EQ(picture.Width(), 0);
        EXPECT_EQ(picture.Height(), 0);
        EXPECT_FALSE(picture.Empty());
        // A draw finds the same refusal and leaves an empty bitmap.
        EXPECT_EQ(MessageOf([&] { picture.DecodeBitmap(); }), expected);
        EXPECT_TRUE(picture.DecodeBitmap().Empty());
    }
}

TEST_F(PictureBudget, TheLargestCameraPicturesFitTheBudget) {
    auto bytes = test::MakeJpeg({JpegKind::Baseline420, 16, 16});
    test::SetFrameSize(bytes, 14204, 10652);
    TJPEGImage picture;
    LoadBytes(picture, bytes);
    EXPECT_EQ(picture.Width(), 14204);
    test::SetFrameSize(bytes, 16384, 8192);
    LoadBytes(picture, bytes);
    EXPECT_EQ(picture.Width(), 16384);
}

TEST_F(PictureBudget, TheBudgetIsInclusiveAndCheckedAgainWhenDecoding) {
    const auto bytes = test::MakeJpeg({JpegKind::Baseline420, 64, 48});
    PictureLimits().MaxPixels = 64 * 48;
    TJPEGImage fits;
    LoadBytes(fits, bytes);
    EXPECT_EQ(fits.DecodeBitmap().Width(), 64);

    TJPEGImage loaded;
    LoadBytes(loaded, bytes);
    PictureLimits().MaxPixels = 64 * 48 - 1;
    EXPECT_EQ(MessageOf([&] { loaded.DecodeBitmap(); }), "JPEG image is too large: 64 x 48 pixels");
    EXPECT_TRUE(loaded.DecodeBitmap().Empty());

    TJPEGImage over;
    EXPECT_EQ(MessageOf([&] { LoadBytes(over, bytes); }),
              "JPEG image is too large: 64 x 48 pixels");
}

TEST_F(PictureBudget, TheLibraryMemoryCapStopsProgressiveCoefficientBuffers) {
    // 512 x 512 in 4:2:0 keeps 768 KB of coefficients for a multi-scan decode; a baseline
    // decode of the same picture needs only a few rows.
    const auto progressive = test::MakeJpeg({JpegKind::Progressive, 512, 512});
    const auto baseline = test::MakeJpeg({JpegKind::Baseline420, 512, 512});
    PictureLimits().MaxJpegLibraryMemory = 256 * 1024;
    for (const bool shownProgressively : {false, true}) {
        SCOPED_TRACE(shownProgressively);
        JpegPictureDefaults().ShowProgressively = shownProgressively;
        TJPEGImage refused;
        LoadBytes(refused, progressive);
        EXPECT_EQ(MessageOf([&] { refused.DecodeBitmap(); }),
                  "JPEG error #" + std::to_string(JERR_NO_BACKING_STORE));
        TJPEGImage decoded;
        LoadBytes(decoded, baseline);
        EXPECT_EQ(decoded.DecodeBitmap().Height(), 512);
    }
    PictureLimits() = TPictureLimits{};
    TJPEGImage decoded;
    LoadBytes(decoded, progressive);
    EXPECT_EQ(decoded.DecodeBitmap().Height(), 512);
}

TEST_F(PictureBudget, ABitmapOverTheBudgetIsRefusedAndLeavesTheBitmapAsItWas) {
    for (const int height : {100, -100}) {
        SCOPED_TRACE(height);
        const auto file = test::MakeBmp({100, height, 24});
        PictureLimits().MaxPixels = 100 * 100 - 1;
        TBitmap bitmap;
        bitmap.SetSize(2, 2);
        EXPECT_EQ(MessageOf([&] { LoadBitmap(bitmap, file); }),
                  "Bitmap image is too large: 100 x 100 pixels");
        EXPECT_EQ(bitmap.Width(), 2);
        PictureLimits().MaxPixels = 100 * 100;
        LoadBitmap(bitmap, file);
        EXPECT_EQ(bitmap.Height(), 100);
    }
}

} // namespace
} // namespace nimbrel
