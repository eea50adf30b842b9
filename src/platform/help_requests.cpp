#include "platform/help_requests.h"

#include <mutex>
#include <utility>

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

void RecordHelpRequest(const HelpRequest& request) {
    HelpState& state = TheHelpState();
    std::lock_guard lock(state.mutex);
    state.recorded.push_back(request);
}

void PresentHelpRequest(const HelpRequest& request) {
    HelpState& state = TheHelpState();
    std::function<void(const HelpRequest&)> presenter;
    {
        std::lock_guard lock(state.mutex);
        presenter = state.presenter;
    }
    if (presenter) // outside the lock: a presenter may show a window and pump messages
        presenter(request);
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
