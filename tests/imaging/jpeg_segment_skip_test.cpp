// A JPEG whose frame header lies behind a long segment (a camera's metadata): the segment is
// passed over without being read, the picture is the same as without it, and a file cut
// inside the segment still ends as a cut file.
#include "imaging/jpeg_header.h"
#include "imaging/jpeg_image.h"
#include "support/jpeg_maker.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

constexpr std::size_t MetadataLength = 60000;

// The made picture with an APP1 segment of `length` bytes (its length field included)
// right after the start marker, where a camera puts its metadata.
std::vector<std::uint8_t> WithMetadata(std::vector<std::uint8_t> jpeg, std::size_t length) {
    std::vector<std::uint8_t> segment{0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8),
                                      static_cast<std::uint8_t>(length & 0xFF)};
    segment.resize(2 + length, 'E');
    jpeg.insert(jpeg.begin() + 2, segment.begin(), segment.end());
    return jpeg;
}

std::vector<std::uint8_t> Picture() {
    return test::MakeJpeg({test::JpegKind::Baseline420, 64, 48, 90});
}

// A memory stream that counts the bytes its reads hand out.
class CountingStream : public TMemoryStream {
public:
    explicit CountingStream(const std::vector<std::uint8_t>& bytes) {
        WriteBuffer(bytes.data(), bytes.size());
        SetPosition(0);
    }
    std::size_t Read(void* buffer, std::size_t count) override {
        const std::size_t got = TMemoryStream::Read(buffer, count);
        read += got;
        return got;
    }
    std::size_t read = 0;
};

TEST(JpegSegmentSkip, TheHeaderBehindLongMetadataIsFoundWithoutReadingIt) {
    CountingStream stream(WithMetadata(Picture(), MetadataLength));
    const TJpegHeader header = ReadJpegHeader(stream);
    EXPECT_EQ(header.width, 64);
    EXPECT_EQ(header.height, 48);
    EXPECT_LT(stream.read, MetadataLength / 4);
}

TEST(JpegSegmentSkip, ThePictureIsTheSameWithAndWithoutMetadata) {
    auto decode = [](const std::vector<std::uint8_t>& bytes) {
        TMemoryStream stream;
        stream.WriteBuffer(bytes.data(), bytes.size());
        stream.SetPosition(0);
        auto picture = std::make_unique<TJPEGImage>();
        picture->LoadFromStream(stream);
        picture->DecodeBitmap();
        return picture;
    };
    const auto plain = decode(Picture());
    const auto withMetadata = decode(WithMetadata(Picture(), MetadataLength));
    const TBitmap& a = plain->DecodeBitmap();
    const TBitmap& b = withMetadata->DecodeBitmap();
    ASSERT_EQ(a.Width(), b.Width());
    ASSERT_EQ(a.Height(), b.Height());
    for (int y = 0; y < a.Height(); ++y)
        ASSERT_EQ(0, std::memcmp(a.ScanLine(y), b.ScanLine(y), a.RowBytes())) << "row " << y;
}

// Through a file (its position moved, not its bytes read) and through memory alike.
TEST(JpegSegmentSkip, AFileWithLongMetadataOpensAndOneCutInsideItEndsEarly) {
    test::TempEnvironment environment;
    const std::vector<std::uint8_t> whole = WithMetadata(Picture(), MetadataLength);
    std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + MetadataLength / 2);
    auto text = [](const std::vector<std::uint8_t>& bytes) {
        return std::string(bytes.begin(), bytes.end());
    };
    environment.WriteHostFile('C', "whole.jpg", text(whole));
    environment.WriteHostFile('C', "cut.jpg", text(cut));
    for (const bool fromFile : {true, false}) {
        SCOPED_TRACE(fromFile ? "file" : "memory");
        auto open = [&](const char* path, const std::vector<std::uint8_t>& bytes) {
            std::unique_ptr<TStream> stream;
            if (fromFile)
                stream = std::make_unique<TFileStream>(path, TFileStream::TMode::OpenRead);
            else
                stream = std::make_unique<CountingStream>(bytes);
            return stream;
        };
        bool endedEarly = true;
        const TJpegHeader header = ReadJpegHeader(*open("C:\\whole.jpg", whole), &endedEarly);
        EXPECT_EQ(header.width, 64);
        EXPECT_EQ(header.height, 48);
        EXPECT_FALSE(endedEarly);

        endedEarly = false;
        EXPECT_THROW(ReadJpegHeader(*open("C:\\cut.jpg", cut), &endedEarly), EJPEG);
        EXPECT_TRUE(endedEarly);
    }
}

} // namespace
} // namespace nimbrel
