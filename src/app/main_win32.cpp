// The Windows program: start-up facts, the Win32 frontend, the options dialog and its
// message loop.
#include "app/options_form.h"
#include "app/start_up.h"
#include "controls/win32/text.h"
#include "controls/win32/toolkit.h"
#include "controls/win32/windows_api.h"
#include "product_version.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The arguments after the program's name, as the runtime split the wide command line, in
// code page 1250 as the program's text is. (The runtime's split spares loading the shell's
// library at every start.)
std::vector<std::string> ArgumentsAfterProgramName() {
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc && __wargv != nullptr; ++i)
        arguments.push_back(nimbrel::win32::Narrow(__wargv[i]));
    return arguments;
}

// A window program has no console of its own: the answer goes to the output it was given,
// or else to the console of whoever started it.
void WriteToOutput(std::string_view text) {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    if (output == nullptr || output == INVALID_HANDLE_VALUE) {
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return;
        output = GetStdHandle(STD_OUTPUT_HANDLE);
        if (output == nullptr || output == INVALID_HANDLE_VALUE)
            return;
    }
    DWORD written = 0;
    WriteFile(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

// For runs without a user: with NIMBREL_QUIT_WHEN_SHOWN set the program ends as soon as its
// window has been shown and painted (the start-up benchmark, which measures the start-up to
// the shown dialog: the teardown is no part of it, as it is none of the baseline's).
void QuitWhenShownIfAsked(nimbrel::TToolkit& toolkit) {
    if (std::getenv("NIMBREL_QUIT_WHEN_SHOWN") == nullptr)
        return;
    toolkit.ProcessMessages();
    ExitProcess(0);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const std::vector<std::string> arguments = ArgumentsAfterProgramName();
    // Answered before anything of the dialog exists.
    if (!arguments.empty() && arguments.front() == "--version") {
        WriteToOutput(std::string("nimbrel-ext ") + nimbrel::kProductVersion + "\n");
        return 0;
    }
    nimbrel::PrepareProcess();
    nimbrel::win32::TWin32Toolkit toolkit;
    return nimbrel::RunOptionsDialog(
        toolkit, arguments, [&toolkit](nimbrel::TOptionsForm&) { QuitWhenShownIfAsked(toolkit); });
}
