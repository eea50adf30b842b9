// Output that cannot be written (a full disk) is an error with a message, never a silent
// success, for every command that writes.
#include "support/bmp_maker.h"
#include "support/bytes.h"
#include "support/jpeg_maker.h"
#include "support/nwp_packer.h"
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace nimbrel {
namespace {

using test::RunTool;
using test::Text;

TEST(OutputFailure, AFullStandardOutputIsAnErrorForEveryCommand) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    test::TempEnvironment environment;
    const std::string bitmap = Text(test::MakeBmp({}));
    environment.WriteHostFile(
        'C', "walls/a.nwp",
        Text(test::PackNwp(
            std::span(reinterpret_cast<const std::uint8_t*>(bitmap.data()), bitmap.size()))));
    environment.WriteHostFile('C', "walls/b.jpg", Text(test::MakeJpeg({})));
    ASSERT_EQ(RunTool({"reg", "set", "HKCU\\Software\\A", "V", "sz", "x"}).exitCode, 0);
    const std::vector<std::string> cases[] = {
        {"--help"},
        {"--version"},
        {"expand", "--help"},
        {"list", "C:\\WALLS\\*"},
        {"reg", "export"},
        {"reg", "get", "HKCU\\Software\\A", "V"},
        {"expand", "C:\\WALLS\\A.NWP", "-"},
        {"decode", "C:\\WALLS\\B.JPG", "-"},
        {"scan", "C:\\WALLS"},
        {"convert", "C:\\WALLS", "--dry-run"},
    };
    for (const auto& args : cases) {
        test::ToolRunOptions options;
        options.standardOutput = "/dev/full";
        const auto result = RunTool(args, options);
        EXPECT_EQ(result.exitCode, 1) << args[0] << " " << args.back();
        EXPECT_EQ(result.err.rfind("nimbrel-tool: standard output: cannot be written", 0), 0u)
            << args[0] << " " << args.back() << "\n"
            << result.err;
    }
    // A full disk as a named output.
    const auto expanded = RunTool({"expand", "C:\\WALLS\\A.NWP", "/dev/full"});
    EXPECT_EQ(expanded.exitCode, 1);
    EXPECT_EQ(expanded.err.rfind("nimbrel-tool: /dev/full: ", 0), 0u) << expanded.err;
    const auto decoded = RunTool({"decode", "C:\\WALLS\\B.JPG", "/dev/full"});
    EXPECT_EQ(decoded.exitCode, 1);
    EXPECT_EQ(decoded.err.rfind("nimbrel-tool: /dev/full: ", 0), 0u) << decoded.err;
}

} // namespace
} // namespace nimbrel
