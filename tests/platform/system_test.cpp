#include "platform/files.h"
#include "platform/help.h"
#include "platform/host_fixture.h"
#include "platform/system.h"

#include <gtest/gtest.h>

#include <thread>

namespace nimbrel::platform {
namespace {

using SystemTest = test::HostFixture;

TEST_F(SystemTest, ProgramFileIsThisTestAsAWindowsPath) {
    const std::string program = ProgramFilePath();
    ASSERT_GE(program.size(), 3u);
    EXPECT_EQ(program.substr(1, 2), ":\\");
    EXPECT_NE(program.find("nimbrel_platform_tests"), std::string::npos) << program;
    EXPECT_TRUE(FileExists(program)) << program;
}

TEST_F(SystemTest, VersionQueryAnswers) {
    OsVersion version;
    ASSERT_TRUE(QueryOsVersion(version));
    EXPECT_GT(version.majorVersion, 0u);
    EXPECT_EQ(version.platformId, Traits().platformId);
}

TEST_F(SystemTest, ScreenSaverActivityIsSwitchedOn) {
    EXPECT_TRUE(SetScreenSaverActive());
}

TEST_F(SystemTest, HelpRequestsAreRecordedInOrder) {
    // Whether a viewer shows them is the host's affair (the test runs have none).
    ClearRecordedHelpRequests();
    WinHelp("C:\\N\\NIMBREL.HLP", HelpSetPopupPos, 0x00200010);
    WinHelp("C:\\N\\NIMBREL.HLP", HelpContextPopup, 2002);
    const std::vector<HelpRequest>& recorded = RecordedHelpRequests();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[0].helpFile, "C:\\N\\NIMBREL.HLP");
    EXPECT_EQ(recorded[0].command, HelpSetPopupPos);
    EXPECT_EQ(recorded[0].data, 0x00200010u);
    EXPECT_EQ(recorded[1].command, HelpContextPopup);
    EXPECT_EQ(recorded[1].data, 2002u);
    ClearRecordedHelpRequests();
    EXPECT_TRUE(RecordedHelpRequests().empty());
}

TEST_F(SystemTest, IdlePriorityForTheCallingThread) {
    bool lowered = false;
    std::thread worker([&lowered] { lowered = SetCurrentThreadIdlePriority(); });
    worker.join();
    EXPECT_TRUE(lowered);
}

TEST_F(SystemTest, ScreenHasAColourDepth) {
    EXPECT_GE(ScreenBitsPerPixel(), 8);
}

} // namespace
} // namespace nimbrel::platform
