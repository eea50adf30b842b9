// Pictures loaded from files by extension, through the emulated environment's paths.
#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "imaging/picture.h"
#include "imaging/picture_formats.h"
#include "support/bmp_maker.h"
#include "support/bytes.h"
#include "support/jpeg_maker.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>

#include <string>

namespace nimbrel {
namespace {

using test::Text;

class PictureFile : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPictureFormats();
        env_.WriteHostFile('C', "pics/sunset.jpg",
                           Text(test::MakeJpeg({test::JpegKind::Baseline420, 21, 9})));
        env_.WriteHostFile('C', "pics/beach.bmp", Text(test::MakeBmp({7, 5, 24})));
        env_.WriteHostFile('C', "pics/x.jpg.bmp", Text(test::MakeBmp({3, 2, 8})));
        env_.WriteHostFile('C', "pics/fake.jpg", "not a picture at all");
        env_.WriteHostFile('C', "pics/empty.jpg", "");
        env_.WriteHostFile('C', "pics/notes.txt", "text");
    }
    void TearDown() override { UnregisterPictureFormats(); }

    test::TempEnvironment env_;
};

TEST_F(PictureFile, TheExtensionPicksThePictureClassWhateverItsCase) {
    struct Case {
        const char* path;
        const char* className;
        int width, height;
    };
    for (const Case& c : {Case{"C:\\PICS\\SUNSET.JPG", "TJPEGImage", 21, 9},
                          Case{"C:\\pics\\sunset.jpg", "TJPEGImage", 21, 9},
                          Case{"C:\\PICS\\BEACH.BMP", "TBitmap", 7, 5},
                          Case{"C:\\PICS\\X.JPG.BMP", "TBitmap", 3, 2},
                          Case{"C:\\PICS\\EMPTY.JPG", "TJPEGImage", 0, 0}}) {
        SCOPED_TRACE(c.path);
        TPicture picture;
        picture.LoadFromFile(c.path);
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_STREQ(picture.Graphic()->ClassName(), c.className);
        EXPECT_EQ(picture.Width(), c.width);
        EXPECT_EQ(picture.Height(), c.height);
    }
}

TEST_F(PictureFile, AFailedLoadKeepsThePictureHeld) {
    struct Case {
        const char* path;
        const char* message; // nullptr: any message
    };
    for (const Case& c :
         {Case{"C:\\PICS\\FAKE.JPG", nullptr},
          Case{"C:\\PICS\\MISSING.JPG", "Cannot open file \"C:\\PICS\\MISSING.JPG\""},
          Case{"C:\\PICS\\NOTES.TXT", "Unknown picture file extension (.TXT)"},
          Case{"C:\\NOWHERE\\A.BMP", "Cannot open file \"C:\\NOWHERE\\A.BMP\""}}) {
        SCOPED_TRACE(c.path);
        TPicture picture;
        picture.LoadFromFile("C:\\PICS\\BEACH.BMP");
        TGraphic* before = picture.Graphic();
        try {
            picture.LoadFromFile(c.path);
            ADD_FAILURE() << "loaded";
        } catch (const Exception& error) {
            if (c.message != nullptr) {
                EXPECT_STREQ(error.what(), c.message);
            }
        }
        EXPECT_EQ(picture.Graphic(), before);
    }
}

TEST_F(PictureFile, APictureSavesToAFileThatLoadsBack) {
    TPicture picture;
    picture.LoadFromFile("C:\\PICS\\SUNSET.JPG");
    picture.Graphic()->SaveToFile("C:\\PICS\\COPY.JPG");
    EXPECT_EQ(test::HostFileBytes(env_.DriveFolder('C') + "/pics/COPY.JPG"),
              test::HostFileBytes(env_.DriveFolder('C') + "/pics/sunset.jpg"));

    TBitmap bitmap;
    bitmap.LoadFromFile("C:\\PICS\\BEACH.BMP");
    bitmap.SaveToFile("C:\\PICS\\OUT.BMP");
    EXPECT_EQ(test::HostFileBytes(env_.DriveFolder('C') + "/pics/OUT.BMP"),
              test::HostFileBytes(env_.DriveFolder('C') + "/pics/beach.bmp"));
}

} // namespace
} // namespace nimbrel
