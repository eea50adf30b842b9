#include "platform/files.h"
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
