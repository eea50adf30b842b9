// The emulated environment has no help viewer: requests are recorded, for tests, and
// handed to the presenter the GUI installs.
#include "platform/help.h"

#include "platform/help_requests.h"

namespace nimbrel::platform {

bool WinHelp(const std::string& helpFile, unsigned command, std::uintptr_t data) {
    const HelpRequest request{helpFile, command, data};
    RecordHelpRequest(request);
    PresentHelpRequest(request);
    return true;
}

} // namespace nimbrel::platform
