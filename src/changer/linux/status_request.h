#pragma once
// --status asks the running changer for its state: SIGUSR2 makes it write its state file
// afresh (the picture shown, the next one, and when), which replaces the file whole.
#include <chrono>
#include <string>

namespace nimbrel::changer {

// Signals the changer `process` and waits until the state file (a host path) has been
// replaced; false when it did not answer within `patience`.
bool AskForFreshState(long process, const std::string& stateFile,
                      std::chrono::milliseconds patience = std::chrono::seconds(2));

} // namespace nimbrel::changer
