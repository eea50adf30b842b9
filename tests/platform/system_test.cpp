#include "platform/files.h"
#include "platform/help.h"
#include "platform/host_fixture.h"
#include "platform/system.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// The platform's WinHelp, not the macro for WinHelpA.
#undef WinHelp
#endif

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

// No viewer can show a help file that is not there (nor does any run here): the presenter
// the GUI installs gets each request, and so shows the topic in its own pop-up.
TEST_F(SystemTest, HelpThatNoViewerShowsGoesToThePresenter) {
    std::vector<HelpRequest> presented;
    SetHelpPresenter([&presented](const HelpRequest& request) { presented.push_back(request); });
    const std::string missing = Root() + "\\NIMBREL.HLP";
    WinHelp(missing, HelpSetPopupPos, 0x00200010);
    WinHelp(missing, HelpContextPopup, 2002);
    SetHelpPresenter(nullptr);
    ASSERT_EQ(presented.size(), 2u);
    EXPECT_EQ(presented[0].helpFile, missing);
    EXPECT_EQ(presented[0].command, HelpSetPopupPos);
    EXPECT_EQ(presented[0].data, 0x00200010u);
    EXPECT_EQ(presented[1].command, HelpContextPopup);
    EXPECT_EQ(presented[1].data, 2002u);
}

#ifdef _WIN32
namespace {

// A stand-in for the WinHelp viewer: a window of the class that WinHelp hands its requests
// to, keeping each request's command and data (Wine's layout of the request).
std::vector<std::pair<unsigned, std::uint32_t>> viewerRequests;

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA)
        return DefWindowProcW(window, message, wParam, lParam);
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const auto* bytes = static_cast<const unsigned char*>(copy->lpData);
    std::uint16_t command = 0;
    std::int32_t data = 0;
    if (copy->cbData >= 8) {
        std::memcpy(&command, bytes + 2, sizeof command);
        std::memcpy(&data, bytes + 4, sizeof data);
    }
    viewerRequests.emplace_back(command, static_cast<std::uint32_t>(data));
    return TRUE;
}

} // namespace

// With the help file there and a viewer running, the viewer is asked for the topic and shows
// the pop-up itself: the presenter hears only where it stands.
TEST_F(SystemTest, AViewerWithTheHelpFileIsAsked) {
    WNDCLASSW viewerClass{};
    viewerClass.lpfnWndProc = ViewerProc;
    viewerClass.hInstance = GetModuleHandleW(nullptr);
    viewerClass.lpszClassName = L"MS_WINHELP";
    ASSERT_NE(RegisterClassW(&viewerClass), 0);
    HWND viewer = CreateWindowW(L"MS_WINHELP", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(viewer, nullptr);
    MakeFileOnDisk("NIMBREL.HLP", "?_");
    std::vector<HelpRequest> presented;
    SetHelpPresenter([&presented](const HelpRequest& request) { presented.push_back(request); });
    viewerRequests.clear();
    const std::string file = Root() + "\\NIMBREL.HLP";
    // Windows' WinHelp hands the pop-up's place to the viewer too; Wine's does not know
    // that command and refuses it.
    WinHelp(file, HelpSetPopupPos, 0x00200010);
    EXPECT_TRUE(WinHelp(file, HelpContextPopup, 2002));
    SetHelpPresenter(nullptr);
    DestroyWindow(viewer);
    UnregisterClassW(L"MS_WINHELP", GetModuleHandleW(nullptr));
    ASSERT_FALSE(viewerRequests.empty());
    EXPECT_EQ(viewerRequests.back(), (std::pair<unsigned, std::uint32_t>{HelpContextPopup, 2002u}));
    ASSERT_EQ(presented.size(), 1u);
    EXPECT_EQ(presented[0].command, HelpSetPopupPos);
}
#endif

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
