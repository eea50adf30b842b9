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
                          "B.NWP  failed: not a compressed file\n"
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
                                                 {"convert", "C:\\GOOD", "C:\\GOOD"}})
        EXPECT_EQ(RunTool(args).exitCode, 2) << args.back();
    // A missing folder is a failure, as a missing file is for every command.
    EXPECT_EQ(RunTool({"convert", "C:\\NOWHERE"}).exitCode, 1);
}

// What the dry run says of each file is what the real run then does, word for word but for
// its tense: "would convert to" / "converted to", "would fail" / "failed".
std::string InPastTense(std::string planned) {
    const std::pair<std::string, std::string> tenses[] = {
        {"would convert to ", "converted to "},
        {"would fail: ", "failed: "},
        {" to convert, ", " converted, "},
    };
    for (const auto& [future, past] : tenses) {
        for (std::size_t at; (at = planned.find(future)) != std::string::npos;)
            planned.replace(at, future.size(), past);
    }
    return planned;
}

TEST(ConvertCommand, AnotherPictureOfTheBitmapsNameIsKeptUnlessReplacingIsAsked) {
    test::TempEnvironment environment;
    const std::string host = environment.DriveFolder('C') + "/walls";
    const Bytes original = test::MakePhotoBmp(64, 36, 3); // the picture a user keeps
    const Bytes legacy = test::MakePhotoBmp(40, 30, 1);
    environment.WriteHostFile('C', "walls/Sunrise 24bit.BMP", Text(original));
    environment.WriteHostFile('C', "walls/Sunrise 24bit.NWP", Text(test::PackNwp(legacy)));
    // A bitmap that is already this NWP file's expansion: the conversion was done before.
    environment.WriteHostFile('C', "walls/done.bmp", Text(legacy));
    environment.WriteHostFile('C', "walls/done.nwp", Text(test::PackNwp(legacy)));
    const std::string size = std::to_string((original.size() + 500) / 1000) + " kB";

    const std::string expected =
        "DONE.NWP  DONE.BMP already holds this picture: would delete DONE.NWP\n"
        "SUNRISE 24BIT.NWP  skipped: SUNRISE 24BIT.BMP exists (64x36, " +
        size +
        "); --replace to replace it\n"
        "2 NWP files: 1 to convert, 1 skipped, 0 failed\n";
    const auto dry = RunTool({"convert", "C:\\WALLS", "--dry-run"});
    EXPECT_EQ(dry.out, expected);
    EXPECT_EQ(dry.exitCode, 1); // a picture was left unconverted
    const auto real = RunTool({"convert", "C:\\WALLS"});
    EXPECT_EQ(real.out, "DONE.NWP  DONE.BMP already holds this picture, DONE.NWP deleted\n"
                        "SUNRISE 24BIT.NWP  skipped: SUNRISE 24BIT.BMP exists (64x36, " +
                            size +
                            "); --replace to replace it\n"
                            "2 NWP files: 1 converted, 1 skipped, 0 failed\n");
    EXPECT_EQ(real.exitCode, 1);
    EXPECT_EQ(test::HostFileBytes(host + "/Sunrise 24bit.BMP"), Text(original));
    EXPECT_TRUE(fs::exists(host + "/Sunrise 24bit.NWP"));
    EXPECT_FALSE(fs::exists(host + "/done.nwp"));
    EXPECT_EQ(test::HostFileBytes(host + "/done.bmp"), Text(legacy));

    const auto replaced = RunTool({"convert", "C:\\WALLS", "--replace"});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.out;
    EXPECT_EQ(replaced.out, "SUNRISE 24BIT.NWP  converted to SUNRISE 24BIT.BMP, replacing the "
                            "picture there (64x36, " +
                                size +
                                "), SUNRISE 24BIT.NWP deleted\n"
                                "1 NWP file: 1 converted, 0 skipped, 0 failed\n");
    EXPECT_EQ(test::HostFileBytes(host + "/Sunrise 24bit.BMP"), Text(legacy));
}

TEST(ConvertCommand, TheDryRunNamesEveryCauseTheRealRunMeets) {
    test::TempEnvironment environment;
    const std::string host = environment.DriveFolder('C') + "/walls";
    const Bytes picture = test::MakePhotoBmp(40, 30, 1);
    const std::string packed = Text(test::PackNwp(picture));
    auto put = [&](const std::string& name, const std::string& bytes) {
        environment.WriteHostFile('C', "walls/" + name, bytes);
    };
    put("readonly.nwp", packed);
    put("readonly.bmp", "another picture");
    fs::permissions(host + "/readonly.bmp",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    put("linked.nwp", packed);
    put("linked.bmp", "another picture");
    fs::create_hard_link(host + "/linked.bmp", host + "/other name.bmp");
    put("kept.nwp", packed); // read-only itself: converts, and stays
    fs::permissions(host + "/kept.nwp", fs::perms::owner_write, fs::perm_options::remove);
    put("empty.nwp", "");
    put("raw.nwp", Text(picture));
    put("cut.nwp", packed.substr(0, packed.size() / 2));
    put("\xE6\x97\xA5.nwp", packed); // a name code page 1250 cannot hold
    environment.MakeHostFolder('C', "walls/folder.bmp");
    put("folder.nwp", packed);

    const auto dry = RunTool({"convert", "C:\\WALLS", "--replace", "--dry-run"});
    EXPECT_EQ(dry.out,
              "?.NWP  would fail: the dialog cannot open this name: rename it\n"
              "CUT.NWP  would fail: expands to no complete bitmap\n"
              "EMPTY.NWP  would fail: empty file\n"
              "FOLDER.NWP  skipped: FOLDER.BMP is a folder\n"
              "KEPT.NWP  would convert to KEPT.BMP; KEPT.NWP is read-only and would stay\n"
              "LINKED.NWP  would fail: LINKED.BMP has other names (hard links), which would keep "
              "the old picture\n"
              "RAW.NWP  would fail: not a compressed file\n"
              "READONLY.NWP  would fail: READONLY.BMP is read-only\n"
              "8 NWP files: 1 to convert, 1 skipped, 6 failed\n");
    EXPECT_EQ(dry.exitCode, 1);
    const auto real = RunTool({"convert", "C:\\WALLS", "--replace"});
    std::string expected = InPastTense(dry.out);
    const std::string kept = "KEPT.BMP; KEPT.NWP is read-only and would stay";
    expected.replace(expected.find(kept), kept.size(),
                     "KEPT.BMP (KEPT.NWP could not be deleted: it is read-only)");
    EXPECT_EQ(real.out, expected);
    EXPECT_EQ(real.exitCode, 1);
    EXPECT_EQ(test::HostFileBytes(host + "/readonly.bmp"), "another picture");
    EXPECT_EQ(test::HostFileBytes(host + "/linked.bmp"), "another picture");
    EXPECT_EQ(test::HostFileBytes(host + "/KEPT.BMP"),
              Text(picture)); // named as the dialog names it
    EXPECT_TRUE(fs::exists(host + "/kept.nwp"));
    EXPECT_TRUE(fs::exists(host + "/\xE6\x97\xA5.nwp"));
}

} // namespace
} // namespace nimbrel
