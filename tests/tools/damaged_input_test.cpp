// What nimbrel-tool says about damaged input and a store it cannot write: the damage the
// dialog accepts is accepted with a warning (an error with --strict), every refusal says
// what is wrong with which file.
#include "support/bmp_maker.h"
#include "support/bytes.h"
#include "support/jpeg_maker.h"
#include "support/nwp_packer.h"
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace nimbrel {
namespace {

using test::RunTool;
using test::Text;
namespace fs = std::filesystem;

struct DamagedFiles {
    test::TempEnvironment environment;
    std::string c = environment.DriveFolder('C');
    std::string bitmap = Text(test::MakeBmp({.width = 64, .height = 64}));

    DamagedFiles() {
        const std::string nwp = Text(test::PackNwp(
            std::span(reinterpret_cast<const std::uint8_t*>(bitmap.data()), bitmap.size())));
        environment.WriteHostFile('C', "cut.nwp", nwp.substr(0, nwp.size() / 2));
        const std::string jpeg = Text(test::MakeJpeg({.width = 64, .height = 64}));
        environment.WriteHostFile('C', "cut.jpg", jpeg.substr(0, jpeg.size() * 6 / 10));
        environment.WriteHostFile('C', "text.jpg", "hello, world");
        environment.WriteHostFile('C', "empty.jpg", "");
    }
};

TEST(DamagedInput, ACutFileIsKeptWithAWarningOrRefusedWhenStrict) {
    DamagedFiles files;
    const struct {
        const char* command;
        const char* in;
        const char* warning;
    } cases[] = {
        {"expand", "C:\\CUT.NWP",
         "nimbrel-tool: C:\\CUT.NWP: warning: the bitmap inside is not complete"},
        {"decode", "C:\\CUT.JPG", "nimbrel-tool: C:\\CUT.JPG: warning: the JPEG data ends early"},
    };
    for (const auto& k : cases) {
        const auto kept = RunTool({k.command, k.in, "C:\\KEPT.BMP"});
        EXPECT_EQ(kept.exitCode, 0) << k.command << " " << kept.err;
        EXPECT_EQ(kept.err.rfind(k.warning, 0), 0u) << kept.err;
        const std::string written = test::HostFileBytes(files.c + "/KEPT.BMP");
        EXPECT_EQ(written.substr(0, 2), "BM") << k.command;

        const auto strict = RunTool({k.command, "--strict", k.in, "C:\\STRICT.BMP"});
        EXPECT_EQ(strict.exitCode, 1) << k.command;
        EXPECT_EQ(strict.err.rfind(std::string("nimbrel-tool: ") + k.in + ": ", 0), 0u)
            << strict.err;
        EXPECT_EQ(strict.err.find("warning"), std::string::npos) << strict.err;
        EXPECT_FALSE(fs::exists(files.c + "/STRICT.BMP")) << k.command;
        fs::remove(files.c + "/KEPT.BMP");
    }
    // The part that was there is the beginning of the picture.
    const auto expanded = RunTool({"expand", "C:\\CUT.NWP", "-"});
    ASSERT_GT(expanded.out.size(), 54u);
    EXPECT_LT(expanded.out.size(), files.bitmap.size());
    EXPECT_EQ(expanded.out.substr(0, 54), files.bitmap.substr(0, 54));
}

TEST(DamagedInput, AJpegErrorKeepsItsNumberAndSaysWhatItMeans) {
    DamagedFiles files;
    const struct {
        const char* in;
        const char* meaning;
    } cases[] = {
        {"C:\\TEXT.JPG", ": not a JPEG file\n"},
        {"C:\\EMPTY.JPG", ": empty input file\n"},
    };
    for (const auto& k : cases) {
        const auto result = RunTool({"decode", k.in, "C:\\OUT.BMP"});
        EXPECT_EQ(result.exitCode, 1);
        const std::string start = std::string("nimbrel-tool: ") + k.in + ": JPEG error #";
        EXPECT_EQ(result.err.rfind(start, 0), 0u) << result.err;
        EXPECT_NE(result.err.find(k.meaning), std::string::npos) << result.err;
    }
    EXPECT_FALSE(fs::exists(files.c + "/OUT.BMP"));
}

// A store folder this user cannot write, as a user meets it (root writes anywhere, so the
// tool then runs as "nobody").
TEST(DamagedInput, AReadOnlyStoreFolderIsSaidToBeReadOnlyNotDamaged) {
    test::TempEnvironment environment;
    char pattern[] = "/tmp/nimbrel-store-XXXXXX";
    const fs::path base = ::mkdtemp(pattern);
    fs::permissions(base, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec |
                              fs::perms::group_read | fs::perms::group_exec);
    const fs::path empty = base / "empty";
    const fs::path filled = base / "filled";
    fs::create_directories(empty);
    fs::create_directories(filled);
    ::setenv("NIMBREL_ROOT", filled.c_str(), 1);
    ASSERT_EQ(RunTool({"reg", "set", "HKCU\\Software\\A", "V", "sz", "x"}).exitCode, 0);
    const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                          fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
    for (const fs::path& store : {empty, filled}) {
        fs::permissions(store, readOnly);
        ::setenv("NIMBREL_ROOT", store.c_str(), 1);
        test::ToolRunOptions options;
        options.asUnprivileged = true;
        const auto result = RunTool({"reg", "set", "HKCU\\Software\\A", "V", "sz", "y"}, options);
        EXPECT_EQ(result.exitCode, 1) << store;
        EXPECT_NE(result.err.find("the store folder " + store.string() + "/ is read-only"),
                  std::string::npos)
            << result.err;
        EXPECT_EQ(result.err.find("damaged"), std::string::npos) << result.err;
    }
    for (const fs::path& store : {empty, filled})
        fs::permissions(store, fs::perms::owner_all, fs::perm_options::add);
    fs::remove_all(base);
}

} // namespace
} // namespace nimbrel
