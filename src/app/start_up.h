#pragma once
// The start-up steps of the programs, shared with the dialog's tests so that they run the
// dialog in the same world.
#include <functional>
#include <string>
#include <vector>

namespace nimbrel {

class TOptionsForm;
class TToolkit;

// Before the application object: format settings, system facts, picture formats.
void PrepareProcess();

// The dialog's run, the same in both programs: the toolkit installed, the dialog made with
// the arguments after the program's name and shown, `shown` given it (a run without a user
// ends there), then the message loop until the dialog closes. An error while the dialog is
// made is shown as the standard error report and gives the exit code 1; else 0.
int RunOptionsDialog(TToolkit& toolkit, std::vector<std::string> arguments,
                     const std::function<void(TOptionsForm&)>& shown);

} // namespace nimbrel
