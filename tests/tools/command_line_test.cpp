// nimbrel-tool's command line as a new user meets it: help, usage and the form of messages.
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nimbrel {
namespace {

using test::RunTool;

bool StartsWith(const std::string& text, const std::string& start) {
    return text.rfind(start, 0) == 0;
}

TEST(CommandLine, HelpGoesToStandardOutputAndSucceeds) {
    test::TempEnvironment environment;
    const struct {
        std::vector<std::string> args;
        const char* shows; // a line of the usage it must hold
    } cases[] = {
        {{"--help"}, "  nimbrel-tool expand [--strict] IN OUT\n"},
        {{"-h"}, "  nimbrel-tool reg get KEY VALUE"},
        {{"help"}, "  nimbrel-tool decode [--strict] IN OUT.bmp\n"},
        {{"help", "list"}, "  nimbrel-tool list PATTERN"},
        {{"expand", "--help"}, "  nimbrel-tool expand [--strict] IN OUT\n"},
        {{"decode", "-h"}, "  --strict"},
        {{"reg", "--help"}, "  nimbrel-tool reg set KEY VALUE"},
        {{"list", "C:\\*", "--help"}, "  nimbrel-tool list PATTERN"},
        {{"scan", "--help"}, "  --deep"},
        {{"convert", "--help"}, "  --dry-run"},
    };
    for (const auto& c : cases) {
        const auto result = RunTool(c.args);
        EXPECT_EQ(result.exitCode, 0) << c.args[0] << " " << result.err;
        EXPECT_NE(result.out.find(c.shows), std::string::npos) << c.args[0] << "\n" << result.out;
        EXPECT_EQ(result.err, "") << c.args[0];
    }
    // A command's own help is that command's alone.
    const auto expand = RunTool({"expand", "--help"});
    EXPECT_EQ(expand.out.find("reg export"), std::string::npos) << expand.out;
    EXPECT_NE(expand.out.find("example"), std::string::npos) << expand.out;

    const auto version = RunTool({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(StartsWith(version.out, "nimbrel-tool ")) << version.out;
}

TEST(CommandLine, BadCommandsAndArgumentsSayWhatBeforeTheUsage) {
    test::TempEnvironment environment;
    const struct {
        std::vector<std::string> args;
        const char* firstLine;
    } cases[] = {
        {{}, "usage: nimbrel-tool COMMAND"},
        {{"x"}, "nimbrel-tool: unknown command 'x'"},
        {{"Expand", "a", "b"}, "nimbrel-tool: unknown command 'Expand'"},
        {{"expand", "a"}, "nimbrel-tool: expand: OUT is missing"},
        {{"expand", "--fast", "a", "b"}, "nimbrel-tool: expand: unknown option '--fast'"},
        {{"decode", "a", "b", "c"}, "nimbrel-tool: decode: one argument too many: 'c'"},
        {{"list"}, "nimbrel-tool: list: PATTERN is missing"},
        {{"reg", "get", "HKCU\\S"}, "nimbrel-tool: reg: VALUE is missing"},
        {{"scan", "--jobs", "x"},
         "nimbrel-tool: scan: --jobs takes a number from 1 to 256, not 'x'"},
        {{"scan", "--sheet"}, "nimbrel-tool: scan: option '--sheet' needs a value"},
        {{"scan", ".", "--sheet", "s.png"}, "nimbrel-tool: scan: --sheet writes a JPEG picture"},
        {{"scan", ".", "--deep=yes"}, "nimbrel-tool: scan: option '--deep' takes no value"},
        {{"convert", ".", "-j", "many"},
         "nimbrel-tool: convert: --jobs takes a number from 1 to 256, not 'many'"},
        {{"convert", ".", "--force"}, "nimbrel-tool: convert: unknown option '--force'"},
        {{"reg", "frobnicate"}, "nimbrel-tool: reg: unknown action 'frobnicate'"},
        {{"scan", "--bogus"}, "nimbrel-tool: scan: "},
        {{"convert"}, "nimbrel-tool: convert: "},
    };
    for (const auto& c : cases) {
        const auto result = RunTool(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args[0];
        EXPECT_EQ(result.exitCode, 2) << shown;
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_TRUE(StartsWith(result.err, c.firstLine)) << shown << "\n" << result.err;
        EXPECT_NE(result.err.find("usage"), std::string::npos) << shown << "\n" << result.err;
    }
}

TEST(CommandLine, EveryFailureMessageStartsWithTheProgramAndNamesItsFile) {
    test::TempEnvironment environment;
    environment.WriteHostFile('C', "empty.nwp", "");
    environment.WriteHostFile('C', "good.nwp", std::string("\x01\x00\x33\xAC", 4));
    environment.MakeHostFolder('C', "folder.jpg");
    const struct {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"expand", "C:\\MISSING.NWP", "C:\\OUT.BMP"}, "C:\\MISSING.NWP: no such file"},
        {{"expand", "C:\\EMPTY.NWP", "C:\\OUT.BMP"}, "C:\\EMPTY.NWP: Not a compressed file."},
        {{"decode", "C:\\FOLDER.JPG", "C:\\OUT.BMP"}, "C:\\FOLDER.JPG: is a folder, not a file"},
        {{"expand", "C:\\GOOD.NWP", "C:\\FOLDER.JPG"}, "C:\\FOLDER.JPG: is a folder, not a file"},
        {{"list", "C:\\NOWHERE\\*.JPG"}, "C:\\NOWHERE\\*.JPG: no such folder"},
        {{"reg", "get", "HKCU\\Software\\Missing", "V"}, "HKEY_CURRENT_USER\\Software\\Missing: "},
        {{"reg", "import", "C:\\NONE.REG"}, "C:\\NONE.REG: no such file"},
        {{"scan", "C:\\NOWHERE"}, "C:\\NOWHERE: no such folder"},
        {{"convert", "C:\\NOWHERE"}, "C:\\NOWHERE: no such folder"},
    };
    for (const auto& c : cases) {
        const auto result = RunTool(c.args);
        EXPECT_NE(result.exitCode, 0) << c.args[0];
        EXPECT_TRUE(StartsWith(result.err, std::string("nimbrel-tool: ") + c.message))
            << c.args[0] << "\n"
            << result.err;
    }
}

} // namespace
} // namespace nimbrel
