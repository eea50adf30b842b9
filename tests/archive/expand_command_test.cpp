// nimbrel-tool expand, run as a program.
#include "archive/archive.h"
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"
#include "tests/archive/temp_folder.h"

#include <gtest/gtest.h>

#if !defined(_WIN32) && defined(NIMBREL_TOOL)
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace nimbrel::test {
namespace {

struct ToolResult {
    int exitCode;
    std::string errorOutput;
};

ToolResult RunTool(const std::string& arguments) {
    const std::string command = std::string("'") + NIMBREL_TOOL + "' " + arguments + " 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

TEST(ExpandCommand, ExitCodesAndMessages) {
    TempFolder folder;
    const Bytes picture = MakePhotoBmp(30, 20);
    WriteHostFile(folder.Host("GOOD.NWP").string(), PackNwp(picture));
    WriteHostFile(folder.Host("BAD.NWP").string(), picture);
    struct Case {
        const char* name;
        std::string arguments;
        int exitCode;
        std::string output;
    };
    const Case cases[] = {
        {"success",
         "expand " + Quoted(folder.Windows("GOOD.NWP")) + " " + Quoted(folder.Windows("GOOD.BMP")),
         0, ""},
        {"not compressed",
         "expand " + Quoted(folder.Windows("BAD.NWP")) + " " + Quoted(folder.Windows("BAD.BMP")), 1,
         "nimbrel-tool: " + folder.Windows("BAD.NWP") + ": " + NotCompressedFileMessage + "\n"},
        {"cannot write",
         "expand " + Quoted(folder.Windows("GOOD.NWP")) + " " +
             Quoted(folder.Windows("NOWHERE/GOOD.BMP")),
         1,
         "nimbrel-tool: " + folder.Windows("NOWHERE/GOOD.BMP") +
             ": cannot be written: no such folder\n"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const ToolResult result = RunTool(test.arguments);
        EXPECT_EQ(result.exitCode, test.exitCode);
        EXPECT_EQ(result.errorOutput, test.output);
    }
    EXPECT_EQ(ReadHostFile(folder.Host("GOOD.BMP").string()), picture);
    EXPECT_EQ(RunTool("expand " + Quoted(folder.Windows("GOOD.NWP"))).exitCode, 2);
}

// The container cannot tell a cut stream from a whole one, so expand keeps what it got;
// but it says so when that is not a whole bitmap.
TEST(ExpandCommand, WarnsWhenTheOutputIsNotACompleteBitmap) {
    TempFolder folder;
    const Bytes nwp = PackNwp(MakePhotoBmp(150, 100));
    const Bytes cut(nwp.begin(), nwp.begin() + 5000);
    WriteHostFile(folder.Host("CUT.NWP").string(), cut);
    WriteHostFile(folder.Host("SIGNATURE.NWP").string(), NwpSignature);
    for (const char* name : {"CUT", "SIGNATURE"}) {
        SCOPED_TRACE(name);
        const std::string out = folder.Windows(std::string(name) + ".BMP");
        const ToolResult result = RunTool(
            "expand " + Quoted(folder.Windows(std::string(name) + ".NWP")) + " " + Quoted(out));
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.errorOutput,
                  "nimbrel-tool: " + folder.Windows(std::string(name) + ".NWP") +
                      ": warning: the bitmap inside is not complete (the file "
                      "is cut short or damaged); " +
                      out + " holds what it gave\n");
        EXPECT_TRUE(std::filesystem::exists(folder.Host(std::string(name) + ".BMP")));
    }
}

} // namespace
} // namespace nimbrel::test
#endif
