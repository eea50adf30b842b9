// Standard input and output as a shell user pipes them: "-" for a file, binary data kept
// off a terminal, a contact sheet on standard output.
#include "support/bmp_maker.h"
#include "support/bytes.h"
#include "support/jpeg_maker.h"
#include "support/nwp_packer.h"
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace nimbrel {
namespace {

using test::RunTool;
using test::Text;

// A pseudo-terminal for a run's standard output.
class Terminal {
public:
    Terminal() : master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            name_ = ::ptsname(master_);
    }
    ~Terminal() {
        if (master_ >= 0)
            ::close(master_);
    }
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;
    const std::string& Name() const { return name_; }

private:
    int master_;
    std::string name_;
};

TEST(StandardStreams, ExpandReadsStandardInputAndWritesStandardOutput) {
    test::TempEnvironment environment;
    const test::Bytes bitmap = test::MakeBmp({});
    const auto result = RunTool({"expand", "-", "-"}, Text(test::PackNwp(bitmap)));
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, Text(bitmap));
    const auto notCompressed = RunTool({"expand", "-", "-"}, "BM not compressed");
    EXPECT_EQ(notCompressed.exitCode, 1);
    EXPECT_EQ(notCompressed.err, "nimbrel-tool: standard input: Not a compressed file.\n");
}

TEST(StandardStreams, BinaryOutputIsNotWrittenToATerminal) {
    test::TempEnvironment environment;
    Terminal terminal;
    if (terminal.Name().empty())
        GTEST_SKIP() << "no pseudo-terminal here";
    environment.WriteHostFile('C', "a.nwp", Text(test::PackNwp(test::MakeBmp({}))));
    environment.WriteHostFile('C', "walls/b.jpg", Text(test::MakeJpeg({})));
    environment.WriteHostFile('C', "b.jpg", Text(test::MakeJpeg({})));
    test::ToolRunOptions options;
    options.standardOutput = terminal.Name();
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"expand", "C:\\A.NWP", "-"},
          {"decode", "C:\\B.JPG", "-"},
          {"scan", "C:\\WALLS", "--sheet", "-"}}) {
        const auto result = RunTool(args, options);
        EXPECT_EQ(result.exitCode, 1) << args[0];
        EXPECT_EQ(result.err.rfind("nimbrel-tool: standard output is a terminal: ", 0), 0u)
            << result.err;
    }
    // Text is welcome there.
    EXPECT_EQ(RunTool({"list", "C:\\"}, options).exitCode, 0);
}

TEST(StandardStreams, AContactSheetOnStandardOutputSendsTheTableToStandardError) {
    test::TempEnvironment environment;
    environment.WriteHostFile('C', "walls/b.jpg", Text(test::MakeJpeg({})));
    const auto result = RunTool({"scan", "C:\\WALLS", "--sheet", "-"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    ASSERT_GT(result.out.size(), 4u);
    EXPECT_EQ(result.out.substr(0, 3), "\xFF\xD8\xFF"); // a JPEG file and nothing else
    EXPECT_EQ(result.out.substr(result.out.size() - 2), "\xFF\xD9");
    EXPECT_EQ(result.err.rfind("B.JPG", 0), 0u) << result.err;
    EXPECT_NE(result.err.find("1 picture: 1 ready"), std::string::npos) << result.err;
}

TEST(StandardStreams, TheSheetsPlaceIsCheckedBeforeTheScan) {
    test::TempEnvironment environment;
    environment.WriteHostFile('C', "walls/b.jpg", Text(test::MakeJpeg({})));
    environment.MakeHostFolder('C', "taken.jpg");
    const struct {
        const char* sheet;
        int exitCode;
        const char* message;
    } cases[] = {
        {"C:\\NOWHERE\\S.JPG", 1,
         "nimbrel-tool: C:\\NOWHERE\\S.JPG: cannot be written: no such folder\n"},
        {"C:\\TAKEN.JPG", 1, "nimbrel-tool: C:\\TAKEN.JPG: is a folder, not a file\n"},
        {"C:\\SHEET.PNG", 2,
         "nimbrel-tool: scan: --sheet writes a JPEG picture: its name ends in .jpg or .jpeg, "
         "unlike 'C:\\SHEET.PNG'\n"},
    };
    for (const auto& c : cases) {
        const auto result = RunTool({"scan", "C:\\WALLS", "--sheet", c.sheet});
        EXPECT_EQ(result.exitCode, c.exitCode) << c.sheet;
        EXPECT_EQ(result.out, "") << c.sheet; // nothing scanned
        EXPECT_EQ(result.err.substr(0, std::string(c.message).size()), c.message);
    }
    const auto written = RunTool({"scan", "C:\\WALLS", "--sheet", "c:/walls/Sheet.jpeg"});
    EXPECT_EQ(written.exitCode, 0) << written.err;
    EXPECT_EQ(test::HostFileBytes(environment.DriveFolder('C') + "/walls/Sheet.jpeg").substr(0, 2),
              "\xFF\xD8");
}

TEST(StandardStreams, AFolderAloneIsListedByWhatItHolds) {
    test::TempEnvironment environment;
    environment.WriteHostFile('C', "pics/b.jpg", "x");
    environment.WriteHostFile('C', "pics/a.nwp", "x");
    environment.MakeHostFolder('C', "pics/sub");
    for (const std::string& folder :
         {std::string("C:\\PICS"), std::string("C:\\PICS\\"), std::string("c:/pics"),
          environment.DriveFolder('C') + "/pics"}) {
        const auto result = RunTool({"list", folder});
        EXPECT_EQ(result.exitCode, 0) << folder << result.err;
        EXPECT_EQ(result.out, "A.NWP\nB.JPG\nSUB\n") << folder;
    }
    // A file named alone is listed as itself, as ls does.
    EXPECT_EQ(RunTool({"list", "C:\\PICS\\B.JPG"}).out, "B.JPG\n");
}

} // namespace
} // namespace nimbrel
