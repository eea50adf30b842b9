#pragma once
// A subcommand of nimbrel-tool. Each lives in a file of its own and registers itself.
#include <string>
#include <vector>

namespace nimbrel::tool {

struct Command {
    const char* name;
    // The command's lines of the usage ("  nimbrel-tool NAME ARGUMENTS", each with what it
    // does), shown by "nimbrel-tool --help" and on bad arguments.
    const char* usage;
    // Shown after the usage by "nimbrel-tool NAME --help": the options and the rules.
    const char* details;
    // The arguments after the command's name (UTF-8, as given); answers the exit code.
    // Raises UsageError for bad arguments and ToolError for a failure (see tool_output.h).
    int (*run)(const std::vector<std::string>& args);
};

// Registers a command at start-up: `const bool registered = RegisterCommand({...});`
bool RegisterCommand(const Command& command);

} // namespace nimbrel::tool
