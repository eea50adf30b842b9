// Ctrl+C during nimbrel-tool convert: the files under way are finished, no new one starts,
// every file is reported, and nothing is left half-written.
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace nimbrel {
namespace {

namespace fs = std::filesystem;

TEST(InterruptedConvert, StopsCleanlyLosingNothing) {
    test::TempEnvironment environment;
    const test::Bytes picture = test::MakePhotoBmp(900, 700);
    const test::Bytes packed = test::PackNwp(picture);
    const std::string folder = environment.DriveFolder('C') + "/walls";
    constexpr int Count = 40;
    for (int i = 0; i < Count; ++i)
        environment.WriteHostFile('C', "walls/p" + std::to_string(10 + i) + ".nwp",
                                  std::string(packed.begin(), packed.end()));
    const std::string outPath = environment.Root() + "/out";

    const pid_t child = ::fork();
    if (child == 0) {
        std::freopen(outPath.c_str(), "w", stdout);
        ::execl(NIMBREL_TOOL, NIMBREL_TOOL, "convert", "C:\\WALLS", "--jobs", "1",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Once the first output file appears, the tool is converting and hears Ctrl+C.
    auto started = [&] {
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path().extension() != ".nwp")
                return true;
        return false;
    };
    for (int i = 0; i < 2000 && !started(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ::kill(child, SIGINT);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    const int exitCode = WEXITSTATUS(status);
    EXPECT_TRUE(exitCode == 130 || exitCode == 0) << exitCode;

    // Every NWP file is either still there or converted into a whole bitmap; nothing else.
    const std::string whole(picture.begin(), picture.end());
    int converted = 0;
    for (int i = 0; i < Count; ++i) {
        const std::string stem = folder + "/p" + std::to_string(10 + i);
        if (fs::exists(stem + ".nwp")) {
            EXPECT_FALSE(fs::exists(folder + "/P" + std::to_string(10 + i) + ".BMP"));
        } else {
            EXPECT_EQ(test::HostFileBytes(folder + "/P" + std::to_string(10 + i) + ".BMP"), whole);
            ++converted;
        }
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), Count);

    // Each file has its line, in order, and the summary counts them.
    const std::string out = test::HostFileBytes(outPath);
    std::istringstream lines(out);
    std::string line;
    for (int i = 0; i < Count; ++i) {
        ASSERT_TRUE(std::getline(lines, line)) << out;
        EXPECT_TRUE(line.starts_with("P" + std::to_string(10 + i) + ".NWP  ")) << line;
    }
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "40 NWP files: " + std::to_string(converted) + " converted, " +
                        std::to_string(Count - converted) + " skipped, 0 failed");
    if (exitCode == 130) {
        EXPECT_LT(converted, Count);
    }
}

} // namespace
} // namespace nimbrel
