// The emulated environment has no help viewer: requests are recorded, for tests, and
// handed to the presenter the GUI installs.
#include "platform/help.h"

#include <mutex>

namespace nimbrel::platform {
namespace {

struct HelpState {
    std::mutex mutex;
    std::vector<HelpRequest> recorded;
    std::function<void(const HelpRequest&)> presenter;
};

HelpState& TheHelpState() {
    static HelpState state;
    return state;
}

} // namespace

bool WinHelp(const std::string& helpFile, unsigned command, std::uintptr_t data) {
    HelpState& state = TheHelpState();
    const HelpRequest request{helpFile, command, data};
    std::function<void(const HelpRequest&)> presenter;
    {
        std::lock_guard lock(state.mutex);
        state.recorded.push_back(request);
        presenter = state.presenter;
    }
    if (presenter) // outside the lock: a presenter may show a window and pump messages
        presenter(request);
    return true;
}

const std::vector<HelpRequest>& RecordedHelpRequests() {
    return TheHelpState().recorded;
}

void ClearRecordedHelpRequests() {
    HelpState& state = TheHelpState();
    std::lock_guard lock(state.mutex);
    state.recorded.clear();
}

void SetHelpPresenter(std::function<void(const HelpRequest&)> presenter) {
    HelpState& state = TheHelpState();
    std::lock_guard lock(state.mutex);
    state.presenter = std::move(presenter);
}

} // namespace nimbrel::platform
