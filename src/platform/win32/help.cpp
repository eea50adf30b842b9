#include "platform/help.h"

#include "platform/win32/windows_api.h"

#include <utility>

namespace nimbrel::platform {
namespace {

std::vector<HelpRequest>& Requests() {
    static std::vector<HelpRequest> requests;
    return requests;
}

} // namespace

bool WinHelp(const std::string& helpFile, unsigned command, std::uintptr_t data) {
    // Recorded here too, so that the requests a dialog makes can be checked on Windows.
    Requests().push_back(HelpRequest{helpFile, command, data});
    return WinHelpA(GetActiveWindow(), helpFile.c_str(), command, data) != FALSE;
}

const std::vector<HelpRequest>& RecordedHelpRequests() {
    return Requests();
}

void ClearRecordedHelpRequests() {
    Requests().clear();
}

// Windows has its own help viewer, which shows the pop-up itself: a presenter is kept only
// so that the GUI can install one the same way on every host.
void SetHelpPresenter(std::function<void(const HelpRequest&)> presenter) {
    static std::function<void(const HelpRequest&)> unused;
    unused = std::move(presenter);
}

} // namespace nimbrel::platform
