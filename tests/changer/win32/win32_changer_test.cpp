// The Windows changer's own parts that no picture on the desktop shows: the log's cap and
// rotation, the profile's style for one or several monitors, and the one-per-session rule.
// The imaging headers before <windows.h>, whose CF_DIB is a macro.
#include "changer/win32/win32_desktop.h"

#include "changer/win32/changer_log.h"
#include "changer/win32/session_instance.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace nimbrel::changer {
namespace {

std::string Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ChangerLogTest, LinesCarryTheTimeAndAFullLogMakesWayForANewOne) {
    const auto folder = std::filesystem::temp_directory_path() / "nimbrel-changer-log-test";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::filesystem::path file = folder / "CHANGER.LOG";
    const ChangerLog log(file.string(), 200);

    log.Write("first");
    const std::string first = Contents(file);
    // "YYYY-MM-DD HH:MM:SS first\r\n"
    ASSERT_EQ(first.size(), 20u + 5u + 2u) << first;
    EXPECT_EQ(first.substr(4, 1) + first.substr(7, 1) + first.substr(13, 1), "--:");
    EXPECT_EQ(first.substr(20), "first\r\n");

    for (int i = 0; i < 20; ++i)
        log.Write("line " + std::to_string(i));
    // Never more than the cap and one line over it, in either file; nothing lost but the
    // lines of the rotations before the last.
    EXPECT_LE(std::filesystem::file_size(file), 200u + 40u);
    EXPECT_LE(std::filesystem::file_size(folder / "CHANGER.LOG.1"), 200u + 40u);
    EXPECT_NE(Contents(file).find("line 19\r\n"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              2);

    // A log that cannot be written (its folder gone) loses the line, nothing more.
    std::filesystem::remove_all(folder);
    log.Write("nowhere");
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST(Win32DesktopTest, OneMonitorIsCentredAndSeveralAreSpanned) {
    const ScreenLayout one{1024, 768, {}};
    const ScreenLayout two{2048, 768, {{0, 0, 1024, 768}, {1024, 0, 1024, 768}}};
    EXPECT_STREQ(StyleForScreen(one).style, "0");
    EXPECT_STREQ(StyleForScreen(one).tile, "0");
    EXPECT_STREQ(StyleForScreen(two).style, "22");
    EXPECT_STREQ(StyleForScreen(two).tile, "0");
}

TEST(SessionInstanceTest, TheSecondInstanceReachesTheFirstThroughItsEvent) {
    const SessionInstance first;
    ASSERT_TRUE(first.First());
    EXPECT_TRUE(ChangerRuns());
    {
        const SessionInstance second;
        EXPECT_FALSE(second.First());
        EXPECT_TRUE(second.AskForChange());
    }
    EXPECT_EQ(WaitForSingleObject(first.ChangeNowEvent(), 0), WAIT_OBJECT_0);
    // Taken once: the event resets itself.
    EXPECT_EQ(WaitForSingleObject(first.ChangeNowEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

} // namespace
} // namespace nimbrel::changer
