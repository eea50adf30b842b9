// Services that the emulated environment records or answers in its own way.
#include "platform/files.h"
#include "platform/help.h"
#include "platform/portable/environment.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "support/temp_environment.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sched.h>
#include <thread>

namespace nimbrel::platform {
namespace {

TEST(EmulatedSystem, VersionIsTheKernelsUnderAnUnknownPlatform) {
    OsVersion version;
    ASSERT_TRUE(QueryOsVersion(version));
    EXPECT_GT(version.platformId, 2u);
}

TEST(EmulatedSystem, ScreenSaverActivityIsRecordedInTheRegistry) {
    test::TempEnvironment environment;
    ASSERT_TRUE(SetScreenSaverActive());
    RegKey key;
    ASSERT_EQ(key.Open(Hive::CurrentUser, "Control Panel\\Desktop"), ErrorSuccess);
    RegValue value;
    ASSERT_EQ(key.QueryValue("ScreenSaveActive", value), ErrorSuccess);
    EXPECT_EQ(value.type, RegSz);
    EXPECT_EQ(value.data, (std::vector<std::uint8_t>{'1', 0}));
}

TEST(EmulatedSystem, HelpRequestsAreRecordedAndPresented) {
    ClearRecordedHelpRequests();
    std::vector<HelpRequest> presented;
    SetHelpPresenter([&presented](const HelpRequest& request) { presented.push_back(request); });
    EXPECT_TRUE(WinHelp("C:\\N\\NIMBREL.HLP", HelpSetPopupPos, 0x00200010));
    EXPECT_TRUE(WinHelp("C:\\N\\NIMBREL.HLP", HelpContextPopup, 2002));
    SetHelpPresenter(nullptr);
    const auto& recorded = RecordedHelpRequests();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[0].command, HelpSetPopupPos);
    EXPECT_EQ(recorded[0].data, 0x00200010u);
    EXPECT_EQ(recorded[1].helpFile, "C:\\N\\NIMBREL.HLP");
    EXPECT_EQ(recorded[1].command, HelpContextPopup);
    EXPECT_EQ(recorded[1].data, 2002u);
    EXPECT_EQ(presented.size(), 2u);
    ClearRecordedHelpRequests();
    EXPECT_TRUE(RecordedHelpRequests().empty());
}

TEST(EmulatedSystem, IdlePriorityIsSchedIdle) {
    int policy = -1;
    std::thread worker([&policy] {
        if (SetCurrentThreadIdlePriority())
            policy = sched_getscheduler(0);
    });
    worker.join();
    EXPECT_EQ(policy, SCHED_IDLE);
    EXPECT_NE(sched_getscheduler(0), SCHED_IDLE); // the caller's thread only
}

TEST(EmulatedSystem, ScreenDepthCanBeSetForATest) {
    ::setenv("NIMBREL_SCREEN_BPP", "8", 1);
    EXPECT_EQ(ScreenBitsPerPixel(), 8);
    ::unsetenv("NIMBREL_SCREEN_BPP");
    EXPECT_EQ(ScreenBitsPerPixel(), 24);
}

// A drive over /dev gives a file that is always full.
TEST(EmulatedFiles, AFullDiskIsErrorDiskFull) {
    test::TempEnvironment environment;
    std::ofstream(environment.Root() + "/drives", std::ios::app) << "F: /dev\n";
    portable::ResetEnvironment();
    File file;
    ASSERT_EQ(file.Create("F:\\full"), ErrorSuccess);
    const char bytes[64] = {};
    std::size_t done = 0;
    EXPECT_EQ(file.Write(bytes, sizeof bytes, done), ErrorDiskFull);
    file.Close();
}

} // namespace
} // namespace nimbrel::platform
