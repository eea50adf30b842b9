// nimbrel-tool decode, run as a user runs it.
#include "imaging/bitmap.h"
#include "support/jpeg_maker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/stat.h>

#include <jerror.h>
#include <jpeglib.h>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

class DecodeCommand : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() /
            ("nimbrel-decode-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "root");
    }
    void TearDown() override { fs::remove_all(folder_); }

    // The host file as the program names it: drive C: is the host's root.
    std::string WindowsPath(const std::string& name) const {
        std::string path = "C:" + (folder_ / name).string();
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return path;
    }
    void Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream(folder_ / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> Read(const std::string& name) const {
        std::ifstream in(folder_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    bool Exists(const std::string& name) const { return fs::exists(folder_ / name); }

    // Runs the tool; answers its exit code and what it printed.
    // `shell` runs first in the tool's shell (limits for it alone). A tool that hangs is
    // stopped after a while.
    int Run(const std::string& arguments, std::string& output,
            const std::string& shell = "") const {
        const std::string command = shell + "NIMBREL_ROOT='" + (folder_ / "root").string() +
                                    "' timeout 60 '" + NIMBREL_TOOL + "' decode " + arguments +
                                    " 2>&1";
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr)
            return -1;
        std::array<char, 256> buffer;
        output.clear();
        while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr)
            output += buffer.data();
        const int status = pclose(pipe);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Quoted(const std::string& name) const { return "'" + WindowsPath(name) + "'"; }

    fs::path folder_;
};

TEST_F(DecodeCommand, WritesTheDecodedRowsAsABmpFile) {
    struct Case {
        test::JpegKind kind;
        int bitsPerPixel;
    };
    for (const Case& c :
         {Case{test::JpegKind::Baseline420, 24}, Case{test::JpegKind::Grayscale, 8}}) {
        const auto jpeg = test::MakeJpeg({c.kind, 23, 11});
        Write("IN.JPG", jpeg);
        std::string output;
        ASSERT_EQ(Run(Quoted("IN.JPG") + " " + Quoted("out.bmp"), output), 0) << output;

        const auto file = Read("out.bmp");
        TMemoryStream stream;
        stream.WriteBuffer(file.data(), file.size());
        stream.SetPosition(0);
        TBitmap bitmap;
        bitmap.LoadFromStream(stream);
        EXPECT_EQ(bitmap.BitsPerPixel(), c.bitsPerPixel);
        const auto reference = test::ReferenceDecode(jpeg, {.quantize = c.bitsPerPixel == 8});
        ASSERT_EQ(bitmap.Width(), reference.width);
        ASSERT_EQ(bitmap.Height(), reference.height);
        const std::size_t used = static_cast<std::size_t>(reference.width) * reference.components;
        for (int y = 0; y < reference.height; ++y) {
            ASSERT_EQ(0, std::memcmp(bitmap.ScanLine(y), reference.pixels.data() + y * used, used));
        }
        if (c.bitsPerPixel == 8) {
            EXPECT_EQ(bitmap.Palette()->Entries.size() * 3, reference.colormap.size());
        }
    }
}

TEST_F(DecodeCommand, FailuresPrintTheErrorExitOneAndWriteNothing) {
    Write("EMPTY.JPG", {});
    Write("TEXT.JPG", {'h', 'e', 'l', 'l', 'o'});
    auto huge = test::MakeJpeg({test::JpegKind::Baseline420, 16, 16});
    test::SetFrameSize(huge, 20000, 20000);
    Write("HUGE.JPG", huge);
    struct Case {
        const char* input;
        std::string message;
    };
    const Case cases[] = {
        {"EMPTY.JPG", "JPEG error #" + std::to_string(JERR_INPUT_EMPTY) + ": empty input file"},
        {"TEXT.JPG", "JPEG error #" + std::to_string(JERR_NO_SOI) + ": not a JPEG file"},
        {"HUGE.JPG", "JPEG image is too large: 20000 x 20000 pixels"},
        {"MISSING.JPG", "no such file"},
    };
    for (const Case& c : cases) {
        std::string output;
        EXPECT_EQ(Run(Quoted(c.input) + " " + Quoted("out.bmp"), output), 1) << c.input;
        EXPECT_EQ(output, "nimbrel-tool: " + WindowsPath(c.input) + ": " + c.message + "\n");
        EXPECT_FALSE(Exists("out.bmp")) << c.input;
    }
}

// OUT.bmp is replaced only by a whole bitmap, and never turned into or out of anything.
TEST_F(DecodeCommand, AFailedSaveLeavesWhatOutNamedAsItWas) {
    const auto jpeg = test::MakeJpeg({test::JpegKind::Baseline420, 64, 48});
    Write("IN.JPG", jpeg);
    const std::vector<std::uint8_t> old{'o', 'l', 'd', ' ', 'b', 'm', 'p'};
    ASSERT_EQ(::mkfifo((folder_ / "pipe.bmp").c_str(), 0644), 0);
    fs::create_directory(folder_ / "folder.bmp");
    struct Case {
        const char* name;
        const char* out;
        std::string shell;
    };
    // A file-size limit stands in for a full disk: the 9 KB bitmap does not fit in 4 KB.
    const Case cases[] = {
        {"full disk", "out.bmp", "trap '' XFSZ; ulimit -f 8; "},
        {"a pipe", "pipe.bmp", ""},
        {"a folder", "folder.bmp", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write("out.bmp", old);
        std::string output;
        EXPECT_EQ(Run(Quoted("IN.JPG") + " " + Quoted(c.out), output, c.shell), 1) << output;
        EXPECT_EQ(Read("out.bmp"), old);
        EXPECT_EQ(fs::status(folder_ / "pipe.bmp").type(), fs::file_type::fifo);
        EXPECT_TRUE(fs::is_directory(folder_ / "folder.bmp"));
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"IN.JPG", "folder.bmp", "out.bmp", "pipe.bmp",
                                                   "root"}));
    }
}

TEST_F(DecodeCommand, ALinkedOutIsWrittenThroughAndKeepsItsMode) {
    Write("IN.JPG", test::MakeJpeg({test::JpegKind::Grayscale, 16, 8}));
    Write("real.bmp", {'o', 'l', 'd'});
    fs::permissions(folder_ / "real.bmp", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("real.bmp", folder_ / "link.bmp");
    std::string output;
    ASSERT_EQ(Run(Quoted("IN.JPG") + " " + Quoted("link.bmp"), output), 0) << output;
    EXPECT_TRUE(fs::is_symlink(folder_ / "link.bmp"));
    EXPECT_EQ(Read("real.bmp")[0], 'B');
    EXPECT_EQ(fs::status(folder_ / "real.bmp").permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(DecodeCommand, WrongArgumentsShowTheUsage) {
    for (const std::string& arguments : {std::string(), Quoted("A.JPG"), Quoted("A") + " B C"}) {
        std::string output;
        EXPECT_EQ(Run(arguments, output), 2) << arguments;
        EXPECT_NE(output.find("nimbrel-tool decode [--strict] IN OUT.bmp"), std::string::npos)
            << output;
    }
}

} // namespace
} // namespace nimbrel
