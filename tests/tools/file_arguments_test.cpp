// File arguments as a Unix user gives them: UTF-8 names, relative and host paths wherever
// the drive table points, Windows paths through the drive table, and "-" for a stream.
#include "support/bmp_maker.h"
#include "support/bytes.h"
#include "support/jpeg_maker.h"
#include "support/nwp_packer.h"
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace nimbrel {
namespace {

using test::RunTool;
using test::Text;
namespace fs = std::filesystem;

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// A host folder that no drive of the environment holds, with the fixtures in it.
struct HostFolder {
    test::TempEnvironment environment;
    fs::path folder;
    std::string bitmap = Text(test::MakeBmp({.width = 20, .height = 10}));
    std::string jpeg = Text(test::MakeJpeg({.width = 24, .height = 16}));

    HostFolder() {
        char pattern[] = "/tmp/nimbrel-host-XXXXXX";
        folder = ::mkdtemp(pattern);
        const std::string nwp = Text(test::PackNwp(
            std::span(reinterpret_cast<const std::uint8_t*>(bitmap.data()), bitmap.size())));
        WriteFile(folder / "čaj.nwp", nwp);
        WriteFile(folder / "staré" / "čaj.nwp", nwp);
        WriteFile(folder / "žaba.jpg", jpeg);
        WriteFile(environment.DriveFolder('C') + "/pics/čaj.nwp", nwp);
    }
    ~HostFolder() { fs::remove_all(folder); }
};

TEST(FileArguments, HostPathsAndWindowsPathsNameTheSameFilesAsForAnyTool) {
    HostFolder host;
    const std::string c = host.environment.DriveFolder('C');
    const std::string h = host.folder.string();
    const struct {
        const char* in;
        std::string out;
        std::string written; // host path of OUT
    } cases[] = {
        {"čaj.nwp", "čaj.bmp", h + "/čaj.bmp"},
        {"./staré/../čaj.nwp", "staré/nový.bmp", h + "/staré/nový.bmp"},
        {"staré/čaj.nwp", h + "/ß.bmp", h + "/ß.bmp"},
        {"C:\\PICS\\ČAJ.NWP", "C:\\PICS\\čaj.bmp", c + "/pics/čaj.bmp"},
        {"c:/pics/čaj.nwp", c + "/pics/host.bmp", c + "/pics/host.bmp"},
    };
    for (const auto& k : cases) {
        test::ToolRunOptions options;
        options.workingFolder = h;
        const auto result = RunTool({"expand", k.in, k.out}, options);
        EXPECT_EQ(result.exitCode, 0) << k.in << " " << result.err;
        EXPECT_EQ(result.err, "") << k.in;
        EXPECT_EQ(test::HostFileBytes(k.written), host.bitmap) << k.in << " -> " << k.written;
    }
    test::ToolRunOptions options;
    options.workingFolder = h;
    const auto decoded = RunTool({"decode", "žaba.jpg", "žaba.bmp"}, options);
    EXPECT_EQ(decoded.exitCode, 0) << decoded.err;
    EXPECT_EQ(test::HostFileBytes(h + "/žaba.bmp").substr(0, 2), "BM");

    const auto listed = RunTool({"list", h + "/*.NWP"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(listed.out, "čAJ.NWP\n"); // the lister capitalises "a".."z" alone
}

TEST(FileArguments, ANameThatCodePage1250CannotHoldIsRefusedNotGuessed) {
    HostFolder host;
    WriteFile(host.folder / "日本.nwp", "x");
    test::ToolRunOptions options;
    options.workingFolder = host.folder.string();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"expand", "日本.nwp", "out.bmp"},
          std::vector<std::string>{"expand", "čaj.nwp", "日本.bmp"},
          std::vector<std::string>{"decode", "žaba.jpg", "日本.bmp"}}) {
        const auto result = RunTool(args, options);
        EXPECT_EQ(result.exitCode, 1) << args[2];
        EXPECT_NE(result.err.find("nimbrel-tool: 日本."), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("code page 1250"), std::string::npos) << result.err;
    }
    EXPECT_FALSE(fs::exists(host.folder / "out.bmp"));
    EXPECT_FALSE(fs::exists(host.folder / "??.bmp"));
}

TEST(FileArguments, RegImportReadsAndNamesANonAsciiFile) {
    HostFolder host;
    WriteFile(host.folder / "čaj.reg",
              "REGEDIT4\n\n[HKCU\\Software\\Čaj]\n\"Kůň\"=\"žluťoučký\"\n");
    WriteFile(host.folder / "špatný.reg", "REGEDIT4\n\n\"a\"=\"b\"\n");
    test::ToolRunOptions options;
    options.workingFolder = host.folder.string();
    const auto imported = RunTool({"reg", "import", "čaj.reg"}, options);
    EXPECT_EQ(imported.exitCode, 0) << imported.err;
    EXPECT_EQ(RunTool({"reg", "get", "HKCU\\Software\\Čaj", "Kůň"}).out, "\"Kůň\"=\"žluťoučký\"\n");
    const auto bad = RunTool({"reg", "import", "špatný.reg"}, options);
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err.rfind("nimbrel-tool: špatný.reg:3: ", 0), 0u) << bad.err;
}

TEST(FileArguments, DashAsOutWritesTheStreamTheFileWouldHold) {
    HostFolder host;
    test::ToolRunOptions options;
    options.workingFolder = host.folder.string();
    const auto expanded = RunTool({"expand", "čaj.nwp", "-"}, options);
    EXPECT_EQ(expanded.exitCode, 0) << expanded.err;
    EXPECT_EQ(expanded.out, host.bitmap);
    EXPECT_FALSE(fs::exists(host.folder / "-"));

    ASSERT_EQ(RunTool({"decode", "žaba.jpg", "žaba.bmp"}, options).exitCode, 0);
    const auto decoded = RunTool({"decode", "žaba.jpg", "-"}, options);
    EXPECT_EQ(decoded.exitCode, 0) << decoded.err;
    EXPECT_EQ(decoded.out, test::HostFileBytes((host.folder / "žaba.bmp").string()));
    EXPECT_FALSE(fs::exists(host.folder / "-"));
}

} // namespace
} // namespace nimbrel
