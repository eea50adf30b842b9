// nimbrel-tool convert: every NWP file of a folder, past the bad ones, each one reported.
#include "support/bmp_maker.h"
#include "support/bytes.h"
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace nimbrel {
namespace {

using test::Bytes;
using test::RunTool;
using test::Text;
namespace fs = std::filesystem;

struct ConvertFolder {
    test::TempEnvironment environment;
    std::string host = environment.DriveFolder('C') + "/walls";
    Bytes first = test::MakePhotoBmp(40, 30, 1);
    Bytes last = test::MakePhotoBmp(48, 20, 2);

    ConvertFolder() {
        environment.WriteHostFile('C', "walls/a.nwp", Text(test::PackNwp(first)));
        // In the middle, a file that is no compressed file, beside a bitmap of its name.
        environment.WriteHostFile('C', "walls/b.nwp", "not compressed at all");
        environment.WriteHostFile('C', "walls/b.bmp", "the bitmap that was here");
        environment.WriteHostFile('C', "walls/C.NWP", Text(test::PackNwp(last)));
    }
    std::string Read(const std::string& name) const {
        return test::HostFileBytes(host + "/" + name);
    }
    bool Exists(const std::string& name) const { return fs::exists(host + "/" + name); }
    std::size_t FileCount() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(host), fs::directory_iterator()));
    }
};

TEST(ConvertCommand, ABadFileInTheMiddleLosesNothingAndTheOthersConvert) {
    ConvertFolder folder;
    const auto result = RunTool({"convert", "C:\\WALLS", "--jobs", "2"});
    EXPECT_EQ(result.exitCode, 1) << result.err;
    EXPECT_EQ(result.out, "A.NWP  converted to A.BMP, A.NWP deleted\n"
                          "B.NWP  failed: Not a compressed file.\n"
                          "C.NWP  converted to C.BMP, C.NWP deleted\n"
                          "3 NWP files: 2 converted, 0 skipped, 1 failed\n");
    EXPECT_EQ(folder.Read("A.BMP"), Text(folder.first));
    EXPECT_EQ(folder.Read("C.BMP"), Text(folder.last));
    EXPECT_FALSE(folder.Exists("a.nwp"));
    EXPECT_FALSE(folder.Exists("C.NWP"));
    EXPECT_EQ(folder.Read("b.nwp"), "not compressed at all");
    EXPECT_EQ(folder.Read("b.bmp"), "the bitmap that was here");
    EXPECT_EQ(folder.FileCount(), 4u); // no temporary file left behind
}

TEST(ConvertCommand, ACutNwpFileNeverReplacesABitmap) {
    test::TempEnvironment environment;
    const Bytes packed = test::PackNwp(test::MakePhotoBmp(40, 30, 1));
    environment.WriteHostFile('C', "cut/d.nwp",
                              Text(Bytes(packed.begin(), packed.begin() + packed.size() / 2)));
    environment.WriteHostFile('C', "cut/d.bmp", "the bitmap that was here");
    for (const char* keep : {"--jobs=1", "--keep"}) {
        const auto result = RunTool({"convert", "C:\\CUT", keep});
        EXPECT_EQ(result.exitCode, 1) << keep;
        EXPECT_TRUE(result.out.starts_with("D.NWP  failed: ")) << result.out;
        EXPECT_EQ(test::HostFileBytes(environment.DriveFolder('C') + "/cut/d.bmp"),
                  "the bitmap that was here");
        EXPECT_TRUE(fs::exists(environment.DriveFolder('C') + "/cut/d.nwp"));
    }
}

TEST(ConvertCommand, KeepLeavesTheNwpFilesAndDryRunTouchesNothing) {
    ConvertFolder folder;
    const auto dry = RunTool({"convert", "C:\\WALLS", "--dry-run"});
    EXPECT_EQ(dry.exitCode, 1);
    EXPECT_EQ(dry.out, "A.NWP  would convert to A.BMP and delete A.NWP\n"
                       "B.NWP  would fail: not a compressed file\n"
                       "C.NWP  would convert to C.BMP and delete C.NWP\n"
                       "3 NWP files: 2 to convert, 0 skipped, 1 failed\n");
    EXPECT_EQ(folder.FileCount(), 4u);
    EXPECT_FALSE(folder.Exists("A.BMP"));

    const auto kept = RunTool({"convert", "C:\\WALLS", "--keep"});
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_NE(kept.out.find("A.NWP  converted to A.BMP\n"), std::string::npos) << kept.out;
    EXPECT_EQ(folder.Read("A.BMP"), Text(folder.first));
    EXPECT_TRUE(folder.Exists("a.nwp"));
    EXPECT_TRUE(folder.Exists("C.NWP"));
}

TEST(ConvertCommand, AFolderOfGoodFilesEndsWithZeroAndBadArgumentsWithTwo) {
    test::TempEnvironment environment;
    environment.WriteHostFile('C', "good/x.nwp", Text(test::PackNwp(test::MakeBmp({}))));
    environment.MakeHostFolder('C', "good/dir.nwp");
    const auto result = RunTool({"convert", "C:\\GOOD"});
    EXPECT_EQ(result.exitCode, 0) << result.out;
    EXPECT_EQ(result.out, "DIR.NWP  skipped: a folder, not a file\n"
                          "X.NWP  converted to X.BMP, X.NWP deleted\n"
                          "2 NWP files: 1 converted, 1 skipped, 0 failed\n");
    for (const std::vector<std::string>& args : {std::vector<std::string>{"convert"},
                                                 {"convert", "C:\\GOOD", "--bogus"},
                                                 {"convert", "C:\\GOOD", "C:\\GOOD"},
                                                 {"convert", "C:\\NOWHERE"}})
        EXPECT_EQ(RunTool(args).exitCode, 2) << args.back();
}

} // namespace
} // namespace nimbrel
