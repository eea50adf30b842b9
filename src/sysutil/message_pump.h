#pragma once
// One pass of the application's message pump, for the few places that let pending
// window messages run (listing a folder, starting a conversion, ending an expansion).
// The GUI installs the real pump; without one a pass does nothing.
#include <functional>

namespace nimbrel {

void ProcessMessages();
void SetMessagePump(std::function<void()> pump);

} // namespace nimbrel
