// The JPEG picture as a picture: defaults, sharing, sizes, palettes, encoding, persistence.
#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "imaging/picture.h"
#include "imaging/picture_formats.h"
#include "jpeg_fixture.h"
#include "support/jpeg_maker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

namespace nimbrel {
namespace {

using test::JpegKind;
using test::Listener;
using test::LoadBytes;

class JpegPicture : public test::JpegTest {};

std::unique_ptr<TBitmap> PatternBitmap(int width, int height) {
    auto made = std::make_unique<TBitmap>();
    TBitmap& bitmap = *made;
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t r, g, b;
            test::PatternPixel(x, y, r, g, b);
            std::uint8_t* p = bitmap.ScanLine(y) + 3 * x;
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    return made;
}

double MeanDifference(const TBitmap& a, const TBitmap& b) {
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int i = 0; i < a.Width() * 3; ++i)
            sum += std::abs(a.ScanLine(y)[i] - b.ScanLine(y)[i]);
    return sum / (a.Width() * 3.0 * a.Height());
}

TEST_F(JpegPicture, ANewPictureTakesTheDefaultsAndDepthFollowsTheScreen) {
    const std::pair<int, TOutputDepth> screens[] = {
        {1, TOutputDepth::Depth8},   {4, TOutputDepth::Depth8},   {8, TOutputDepth::Depth8},
        {15, TOutputDepth::Depth24}, {16, TOutputDepth::Depth24}, {32, TOutputDepth::Depth24}};
    for (const auto& [bits, depth] : screens) {
        OverrideScreenColorBits(bits);
        SetDefaultDepth();
        TJPEGImage picture;
        EXPECT_EQ(picture.OutputDepth(), depth) << bits << " bits";
        EXPECT_EQ(picture.Quality(), 90);
        EXPECT_TRUE(picture.BlockSmoothing());
        EXPECT_EQ(picture.OutputScale(), TOutputScale::ScaleFull);
        EXPECT_EQ(picture.SpeedMode(), TSpeedMode::FavourQuality);
        EXPECT_FALSE(picture.GrayscaleOutput());
        EXPECT_FALSE(picture.ShowProgressively());
        EXPECT_FALSE(picture.Progressive());
        EXPECT_TRUE(picture.Empty());
        EXPECT_EQ(picture.Width(), 0);
    }
}

TEST_F(JpegPicture, AssignedPicturesShareTheirDataAndCompareEqual) {
    const auto bytes = test::MakeJpeg({JpegKind::Baseline420, 20, 10});
    TJPEGImage first, second, separate;
    LoadBytes(first, bytes);
    LoadBytes(separate, bytes);
    second.Assign(first);
    EXPECT_TRUE(second.Equals(first));
    EXPECT_TRUE(first.Equals(second));
    EXPECT_FALSE(separate.Equals(first)) << "same bytes, separate loads";
    EXPECT_EQ(second.Width(), 20);

    // The decoded bitmap of the source comes along as a copy.
    first.DecodeBitmap();
    TJPEGImage third;
    Listener listener(third);
    third.Assign(first);
    EXPECT_EQ(listener.decodes, 0);
    EXPECT_NE(&third.DecodeBitmap(), &first.DecodeBitmap());
    EXPECT_EQ(MeanDifference(third.DecodeBitmap(), first.DecodeBitmap()), 0.0);
}

TEST_F(JpegPicture, NewDataNeverShowsTheOldDecodedBitmap) {
    const auto wide = test::MakeJpeg({JpegKind::Baseline420, 30, 10});
    const auto tall = test::MakeJpeg({JpegKind::Baseline420, 10, 30});
    TJPEGImage picture;
    LoadBytes(picture, wide);
    picture.DecodeBitmap();
    LoadBytes(picture, tall);
    EXPECT_EQ(picture.DecodeBitmap().Width(), 10);

    TJPEGImage other;
    LoadBytes(other, wide);
    picture.Assign(other); // a source with no decoded bitmap
    EXPECT_EQ(picture.DecodeBitmap().Width(), 30);
}

TEST_F(JpegPicture, LoadingSetsAndClearsProgressive) {
    TJPEGImage picture;
    LoadBytes(picture, test::MakeJpeg({JpegKind::Progressive, 8, 8}));
    EXPECT_TRUE(picture.Progressive());
    LoadBytes(picture, test::MakeJpeg({JpegKind::Baseline420, 8, 8}));
    EXPECT_FALSE(picture.Progressive());
}

TEST_F(JpegPicture, SizeCannotBeSet) {
    TJPEGImage picture;
    for (auto set : {&TJPEGImage::SetWidth, &TJPEGImage::SetHeight}) {
        try {
            (picture.*set)(10);
            ADD_FAILURE();
        } catch (const EInvalidGraphicOperation& error) {
            EXPECT_STREQ(error.what(), "Cannot change the size of a JPEG image");
        }
    }
}

TEST_F(JpegPicture, EncodedBitmapsDecodeBackClosely) {
    struct Case {
        bool progressive;
        bool grayscale;
        int width, height;
    };
    for (const Case& c : {Case{false, false, 40, 30}, Case{true, false, 17, 13},
                          Case{false, true, 16, 16}, Case{false, false, 1, 1}}) {
        SCOPED_TRACE(std::to_string(c.width) + (c.progressive ? " progressive" : "") +
                     (c.grayscale ? " gray" : ""));
        JpegPictureDefaults().Progressive = c.progressive;
        JpegPictureDefaults().GrayscaleOutput = c.grayscale;
        TJPEGImage writer;
        const auto made = PatternBitmap(c.width, c.height);
        const TBitmap& source = *made;
        writer.Assign(source);
        EXPECT_EQ(writer.Width(), c.width);
        TMemoryStream saved;
        writer.SaveToStream(saved);

        JpegPictureDefaults().GrayscaleOutput = false;
        TJPEGImage reader;
        saved.SetPosition(0);
        reader.LoadFromStream(saved);
        EXPECT_EQ(reader.Width(), c.width);
        EXPECT_EQ(reader.Height(), c.height);
        EXPECT_EQ(reader.Progressive(), c.progressive);
        EXPECT_EQ(reader.Grayscale(), c.grayscale);
        if (!c.grayscale) {
            TBitmap decoded;
            decoded.Assign(reader); // through the picture's decode
            ASSERT_EQ(decoded.PixelFormat(), TPixelFormat::pf24bit);
            EXPECT_LT(MeanDifference(decoded, source), 10.0); // red and blue swapped: over 60
        }
    }
}

TEST_F(JpegPicture, EncodingAnEightBitBitmapUsesItsPalette) {
    TBitmap source;
    source.SetPixelFormat(TPixelFormat::pf8bit);
    source.SetPalette(CreatePalette({0x300, {{250, 10, 10, 0}, {10, 10, 250, 0}}}));
    source.SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            source.ScanLine(y)[x] = x < 8 ? 0 : 1;
    TJPEGImage writer;
    writer.Assign(source);
    TMemoryStream saved;
    writer.SaveToStream(saved);
    TJPEGImage reader;
    saved.SetPosition(0);
    reader.LoadFromStream(saved);
    const TBitmap& decoded = reader.DecodeBitmap();
    EXPECT_GT(decoded.ScanLine(8)[2], 200);      // red at the left
    EXPECT_GT(decoded.ScanLine(8)[3 * 15], 200); // blue at the right
}

TEST_F(JpegPicture, AbortWhileEncodingLeavesNoPartialData) {
    UseFastClock();
    TJPEGImage picture;
    const auto made = PatternBitmap(64, 256);
    const TBitmap& source = *made;
    picture.Assign(source);
    picture.OnProgress = [](TGraphic&, TProgressStage stage, std::uint8_t, bool, const TRect&,
                            const std::string&) {
        if (stage == TProgressStage::psRunning)
            throw EAbort();
    };
    TMemoryStream saved;
    ASSERT_NO_THROW(picture.SaveToStream(saved));
    EXPECT_EQ(saved.Size(), 0u);
    TMemoryStream persisted;
    picture.WriteData(persisted);
    EXPECT_EQ(persisted.Size(), 4u) << "a zero count and no bytes";
}

TEST_F(JpegPicture, AFailedEncodeLeavesNoPartialDataToSave) {
    UseFastClock();
    TJPEGImage picture;
    const auto made = PatternBitmap(64, 256);
    picture.Assign(*made);
    bool fail = true;
    picture.OnProgress = [&](TGraphic&, TProgressStage stage, std::uint8_t, bool, const TRect&,
                             const std::string&) {
        if (fail && stage == TProgressStage::psRunning)
            throw Exception("disk trouble");
    };
    TMemoryStream first;
    EXPECT_THROW(picture.SaveToStream(first), Exception);
    fail = false;
    TMemoryStream second;
    picture.SaveToStream(second);
    ASSERT_GT(second.Size(), 2u);
    EXPECT_EQ(second.Memory()[second.Size() - 2], 0xFF);
    EXPECT_EQ(second.Memory()[second.Size() - 1], 0xD9) << "a whole JPEG, ending in its end marker";
}

TEST_F(JpegPicture, PersistentDataIsACountAndTheBytes) {
    const auto bytes = test::MakeJpeg({JpegKind::Baseline444, 9, 7});
    TJPEGImage picture;
    LoadBytes(picture, bytes);
    TMemoryStream persisted;
    picture.WriteData(persisted);
    ASSERT_EQ(persisted.Size(), bytes.size() + 4);
    EXPECT_EQ(persisted.Memory()[0], bytes.size() & 0xFF);

    persisted.WriteBuffer("after", 5);
    persisted.SetPosition(0);
    TJPEGImage back;
    back.ReadData(persisted);
    EXPECT_EQ(back.Width(), 9);
    EXPECT_EQ(persisted.Position(), bytes.size() + 4) << "reads only its own bytes";
    TMemoryStream saved;
    back.SaveToStream(saved);
    EXPECT_EQ(saved.CopyOfBytes(), bytes) << "saving writes the loaded bytes, no re-encoding";
}

TEST_F(JpegPicture, AShortStreamRaisesTheStreamReadError) {
    const auto bytes = test::MakeJpeg({JpegKind::Baseline420, 8, 8});
    TMemoryStream stream = test::StreamOf(bytes);
    TJPEGImage picture;
    try {
        picture.ReadJpegStream(bytes.size() + 1, stream);
        ADD_FAILURE();
    } catch (const EReadError& error) {
        EXPECT_STREQ(error.what(), "Stream read error");
    }
    EXPECT_EQ(picture.Width(), 0);
}

TEST_F(JpegPicture, PaletteRules) {
    const auto bytes = test::MakeJpeg({JpegKind::Baseline420, 8, 8});
    OverrideScreenColorBits(8);
    {
        TJPEGImage picture; // Depth24 on an 8-bit screen: the halftone palette, kept
        LoadBytes(picture, bytes);
        const TPaletteHandle halftone = picture.Palette();
        ASSERT_TRUE(halftone);
        EXPECT_EQ(halftone->Entries.size(), 256u);
        EXPECT_EQ(picture.Palette(), halftone);
        picture.DecodeBitmap(); // a 24-bit decode drops it
        EXPECT_FALSE(picture.Palette());
    }
    OverrideScreenColorBits(32);
    {
        TJPEGImage picture;
        LoadBytes(picture, bytes);
        EXPECT_FALSE(picture.Palette());
        picture.DecodeBitmap();
        Listener listener(picture);
        const TPaletteHandle mine = CreatePalette({0x300, {{1, 2, 3, 0}}});
        picture.SetPalette(mine); // differs from the bitmap's: the bitmap goes
        EXPECT_EQ(listener.changes, 1);
        EXPECT_TRUE(picture.PaletteModified());
        EXPECT_EQ(picture.Palette(), mine);
        picture.SetPalette(mine);
        EXPECT_EQ(listener.changes, 1);
    }
    JpegPictureDefaults().OutputDepth = TOutputDepth::Depth8;
    {
        TJPEGImage picture; // Depth8 with a palette of its own: decoded into that palette
        LoadBytes(picture, bytes);
        picture.SetPalette(
            CreatePalette({0x300, {{0, 0, 0, 0}, {255, 255, 255, 0}, {200, 50, 50, 0}}}));
        const TBitmap& bitmap = picture.DecodeBitmap();
        ASSERT_EQ(bitmap.PixelFormat(), TPixelFormat::pf8bit);
        EXPECT_EQ(bitmap.Palette()->Entries.size(), 3u);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                ASSERT_LT(bitmap.ScanLine(y)[x], 3);
    }
}

TEST_F(JpegPicture, AssigningToOtherKindsIsRefusedWithBothClassNames) {
    // A picture kind that knows no other.
    class TOtherGraphic : public TGraphic {
    public:
        const char* ClassName() const override { return "TOtherGraphic"; }
        void Draw(TCanvas&, const TRect&) override {}
        bool Empty() const override { return true; }
        int Width() const override { return 0; }
        int Height() const override { return 0; }
        void SetWidth(int) override {}
        void SetHeight(int) override {}
        void LoadFromStream(TStream&) override {}
        void SaveToStream(TStream&) override {}
        void LoadFromClipboardFormat(const TClipboardPicture&) override {}
        void SaveToClipboardFormat(TClipboardPicture&) override {}
    };
    TJPEGImage picture;
    TOtherGraphic other;
    try {
        other.Assign(picture);
        ADD_FAILURE();
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "Cannot assign a TJPEGImage to a TOtherGraphic");
    }
    try {
        picture.Assign(other);
        ADD_FAILURE();
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "Cannot assign a TOtherGraphic to a TJPEGImage");
    }
}

TEST_F(JpegPicture, ClipboardGoesThroughTheDecodedBitmap) {
    const auto bytes = test::MakeJpeg({JpegKind::Baseline420, 12, 5});
    TJPEGImage picture;
    LoadBytes(picture, bytes);
    TClipboardPicture clip;
    picture.SaveToClipboardFormat(clip);
    EXPECT_EQ(clip.Format, CF_DIB);

    TJPEGImage pasted;
    pasted.LoadFromClipboardFormat(clip);
    EXPECT_EQ(pasted.Width(), 12);
    EXPECT_EQ(MeanDifference(pasted.DecodeBitmap(), picture.DecodeBitmap()), 0.0);
    TMemoryStream saved;
    pasted.SaveToStream(saved); // encoded from the pasted bitmap
    EXPECT_GT(saved.Size(), 0u);
}

class PictureRegistry : public test::JpegTest {
protected:
    void SetUp() override { RegisterPictureFormats(); }
    void TearDown() override {
        UnregisterPictureFormats();
        test::JpegTest::TearDown();
    }
};

TEST_F(PictureRegistry, ExtensionsMatchIgnoringCaseAndTheLatestWins) {
    for (const char* extension : {"JPG", "jpg", "Jpeg", "jpeg", "JPEG"}) {
        EXPECT_EQ(TPicture::FindFileFormat(extension), GraphicClassOf<TJPEGImage>()) << extension;
        EXPECT_EQ(TPicture::FileFormatDescription(extension), "JPEG Image File");
    }
    for (const char* extension : {"bmp", "BMP"})
        EXPECT_EQ(TPicture::FindFileFormat(extension), GraphicClassOf<TBitmap>());
    for (const char* extension : {"", "jp", "jpgx", "gif", "nwp"})
        EXPECT_EQ(TPicture::FindFileFormat(extension), nullptr) << extension;

    TPicture::RegisterFileFormat("JPG", "Other", GraphicClassOf<TBitmap>());
    EXPECT_EQ(TPicture::FindFileFormat("jpg"), GraphicClassOf<TBitmap>());
    EXPECT_EQ(TPicture::FindFileFormat("jpeg"), GraphicClassOf<TJPEGImage>());
    TPicture::UnregisterGraphicClass(GraphicClassOf<TBitmap>());
    EXPECT_EQ(TPicture::FindFileFormat("jpg"), GraphicClassOf<TJPEGImage>());
    EXPECT_EQ(TPicture::FindFileFormat("bmp"), nullptr);
}

TEST_F(PictureRegistry, StartUpDepthComesFromTheScreen) {
    OverrideScreenColorBits(8);
    RegisterPictureFormats();
    EXPECT_EQ(TJPEGImage().OutputDepth(), TOutputDepth::Depth8);
    EXPECT_EQ(TPicture::FindFileFormat("jpg"), GraphicClassOf<TJPEGImage>());
}

TEST_F(PictureRegistry, AnUnknownExtensionLeavesThePictureAsItWas) {
    TPicture picture;
    picture.SetGraphic(std::make_unique<TBitmap>());
    TGraphic* before = picture.Graphic();
    try {
        picture.LoadFromFile("C:\\PICS\\SUNSET.GIF");
        ADD_FAILURE();
    } catch (const EInvalidGraphic& error) {
        EXPECT_STREQ(error.what(), "Unknown picture file extension (.GIF)");
    }
    EXPECT_EQ(picture.Graphic(), before);
}

} // namespace
} // namespace nimbrel
