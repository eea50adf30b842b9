#pragma once
// The start-up step that runs before anything else of the program: the process-wide
// format settings are loaded from the host and fixed, then the system facts are collected.
// The program's entry calls it first; nothing is done by static initialisation.

namespace nimbrel {

// LoadFormatSettingsFromHost, FixFormatSettings, then CollectSystemInfo.
void RunSetups();

} // namespace nimbrel
