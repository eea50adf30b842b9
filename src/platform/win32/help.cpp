#include "platform/help.h"

#include "platform/files.h"
#include "platform/help_requests.h"
#include "platform/win32/windows_api.h"

namespace nimbrel::platform {

// Windows since 8 ships no WinHelp viewer, and the help file lies outside the program: a
// topic that the viewer cannot show goes to the presenter the GUI installs, which shows
// the program's own text for it. The viewer is not started for a help file that is not
// there, where it could only say so. The presenter hears every pop-up's place, so that a
// pop-up of its own stands where the viewer's would.
bool WinHelp(const std::string& helpFile, unsigned command, std::uintptr_t data) {
    // Recorded here too, so that the requests a dialog makes can be checked on Windows.
    const HelpRequest request{helpFile, command, data};
    RecordHelpRequest(request);
    const bool shown =
        FileExists(helpFile) && WinHelpA(GetActiveWindow(), helpFile.c_str(), command, data);
    if (command == HelpSetPopupPos || !shown)
        PresentHelpRequest(request);
    return shown;
}

} // namespace nimbrel::platform
