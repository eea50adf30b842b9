// nimbrel-tool: the command-line companion of the dialog, on the same libraries.
#include "tools/arguments.h"
#include "tools/command.h"
#include "tools/tool_output.h"

#include "product_version.h"
#include "sysutil/exception.h"

#include <exception>
#include <map>
#include <new>
#include <string>
#include <vector>

namespace nimbrel::tool {
namespace {

// The one rule of every command.
constexpr char ExitStatusText[] =
    "exit status: 0 success; 1 a failure, told on standard error (scan: also a file to\n"
    "convert, damaged or to rename; convert: also a file that failed or was kept from\n"
    "replacing another picture); 2 bad arguments, nothing done; 130 interrupted (Ctrl+C)\n";

std::map<std::string, Command>& Commands() {
    static std::map<std::string, Command> commands;
    return commands;
}

std::string ProgramUsage() {
    std::string text = "usage: nimbrel-tool COMMAND ARGUMENTS...\n"
                       "       nimbrel-tool COMMAND --help    what a command takes and does\n"
                       "       nimbrel-tool --help | --version\n"
                       "commands:\n";
    for (const auto& [name, command] : Commands())
        text += command.usage;
    return text + ExitStatusText;
}

std::string CommandUsage(const Command& command) {
    return std::string("usage:\n") + command.usage;
}

// Prints on standard output; answers 0, or 1 when the output cannot be written.
int PrintHelp(const std::string& text) {
    try {
        WriteOut(text);
        FinishOutput();
        return 0;
    } catch (const ToolError& error) {
        Say(error.what());
        return 1;
    }
}

int RunCommand(const Command& command, const std::vector<std::string>& args) {
    if (AsksForHelp(args))
        return PrintHelp(CommandUsage(command) + command.details);
    try {
        return command.run(args);
    } catch (const UsageError& error) {
        Say(std::string(command.name) + ": " + error.what());
        WriteError(CommandUsage(command));
        return 2;
    } catch (const ToolError& error) {
        Say(error.what());
    } catch (const Exception& error) {
        // The libraries' own texts are code page 1250.
        Say(Shown(error.what()));
    } catch (const std::bad_alloc&) {
        Say("out of memory");
    } catch (const std::exception& error) {
        Say(error.what());
    }
    return 1;
}

int RunProgram(const std::vector<std::string>& args) {
    if (args.empty()) {
        WriteError(ProgramUsage());
        return 2;
    }
    const std::string& first = args[0];
    if (first == "--help" || first == "-h" || first == "help") {
        if (args.size() == 2) {
            if (const auto found = Commands().find(args[1]); found != Commands().end())
                return PrintHelp(CommandUsage(found->second) + found->second.details);
        }
        return PrintHelp(ProgramUsage());
    }
    if (first == "--version")
        return PrintHelp(std::string("nimbrel-tool ") + kProductVersion + "\n");
    const auto found = Commands().find(first);
    if (found == Commands().end()) {
        Say("unknown command '" + first + "'");
        WriteError(ProgramUsage());
        return 2;
    }
    return RunCommand(found->second, std::vector<std::string>(args.begin() + 1, args.end()));
}

} // namespace

bool RegisterCommand(const Command& command) {
    Commands()[command.name] = command;
    return true;
}

} // namespace nimbrel::tool

int main(int argc, char** argv) {
    using namespace nimbrel::tool;
    return RunProgram(ProgramArguments(argc, argv));
}
