#include "platform/help.h"

#include "platform/files.h"
#include "platform/win32/windows_api.h"

#include <utility>

namespace nimbrel::platform {
namespace {

struct HelpState {
    std::vector<HelpRequest> recorded;
    std::function<void(const HelpRequest&)> presenter;
};

HelpState& TheHelpState() {
    static HelpState state;
    return state;
}

} // namespace

// Windows since 8 ships no WinHelp viewer, and the help file lies outside the program: a
// topic that the viewer cannot show goes to the presenter the GUI installs, which shows
// the program's own text for it. The viewer is not started for a help file that is not
// there, where it could only say so. The presenter hears every pop-up's place, so that a
// pop-up of its own stands where the viewer's would.
bool WinHelp(const std::string& helpFile, unsigned command, std::uintptr_t data) {
    HelpState& state = TheHelpState();
    // Recorded here too, so that the requests a dialog makes can be checked on Windows.
    const HelpRequest request{helpFile, command, data};
    state.recorded.push_back(request);
    const bool shown =
        FileExists(helpFile) && WinHelpA(GetActiveWindow(), helpFile.c_str(), command, data);
    if (state.presenter && (command == HelpSetPopupPos || !shown)) {
        const auto presenter = state.presenter; // it may show a window and pump messages
        presenter(request);
    }
    return shown;
}

const std::vector<HelpRequest>& RecordedHelpRequests() {
    return TheHelpState().recorded;
}

void ClearRecordedHelpRequests() {
    TheHelpState().recorded.clear();
}

void SetHelpPresenter(std::function<void(const HelpRequest&)> presenter) {
    TheHelpState().presenter = std::move(presenter);
}

} // namespace nimbrel::platform
