#pragma once
// What both help backends do with a request besides asking a viewer: record it (tests read
// the record) and hand it to the presenter the GUI installed.
#include "platform/help.h"

namespace nimbrel::platform {

void RecordHelpRequest(const HelpRequest& request);
// Hands the request to the presenter, if one is installed.
void PresentHelpRequest(const HelpRequest& request);

} // namespace nimbrel::platform
