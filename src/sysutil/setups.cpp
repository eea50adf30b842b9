#include "sysutil/setups.h"

#include "sysutil/format_settings.h"
#include "sysutil/system_info.h"

namespace nimbrel {

void RunSetups() {
    LoadFormatSettingsFromHost();
    FixFormatSettings();
    // The facts copy the separators, so they come after the format is fixed.
    CollectSystemInfo();
}

} // namespace nimbrel
