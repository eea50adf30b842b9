#include "app/start_up.h"

#include "app/options_form.h"
#include "controls/error_report.h"
#include "controls/toolkit.h"
#include "imaging/picture_formats.h"
#include "sysutil/setups.h"

#include <exception>
#include <utility>

namespace nimbrel {

void PrepareProcess() {
    RunSetups();
    RegisterPictureFormats();
}

int RunOptionsDialog(TToolkit& toolkit, std::vector<std::string> arguments,
                     const std::function<void(TOptionsForm&)>& shown) {
    InstallToolkit(&toolkit);
    int exitCode = 0;
    try {
        TOptionsForm form({std::move(arguments), {}}, toolkit);
        form.Show();
        shown(form);
        toolkit.RunMessageLoop(form);
    } catch (...) {
        // Only the dialog's creation can end here: the loop reports its own errors and the
        // dialog stays.
        ShowException(std::current_exception());
        exitCode = 1;
    }
    InstallToolkit(nullptr);
    return exitCode;
}

} // namespace nimbrel
