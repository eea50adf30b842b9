// Output that cannot be written (a full disk) is an error with a message, never a silent
// success, for every command that writes.
#include "support/bmp_maker.h"
#include "support/bytes.h"
#include "support/jpeg_maker.h"
#include "support/nwp_packer.h"
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>

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

// The disk fills while a decoded bitmap of several megabytes is on its way to its file:
// exit 1 with the cause, the file it was to replace as it was, nothing left beside it.
TEST(OutputFailure, ADiskFullInTheMiddleOfADecodedBitmapKeepsTheOldFile) {
    test::TempEnvironment environment;
    environment.WriteHostFile('C', "walls/big.jpg",
                              Text(test::MakeJpeg({test::JpegKind::Baseline420, 1600, 1200, 90})));
    const std::string old = "the picture that was there";
    const std::string target = environment.WriteHostFile('C', "walls/out.bmp", old);

    // The child inherits the cap on file sizes and the ignored signal: its write past the cap
    // fails as on a full disk, after the first megabytes went through.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit capped = saved;
    capped.rlim_cur = 2 << 20;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &capped), 0);
    const auto result = RunTool({"decode", "C:\\WALLS\\BIG.JPG", "C:\\WALLS\\OUT.BMP"});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err,
              "nimbrel-tool: C:\\WALLS\\OUT.BMP: cannot be written: No space left on device\n");
    std::ifstream in(target, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), old);
    int files = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator(std::filesystem::path(target).parent_path()))
        ++files;
    EXPECT_EQ(files, 2); // BIG.JPG and OUT.BMP
}

} // namespace
} // namespace nimbrel
