#pragma once
// A subcommand of nimbrel-tool. Each lives in a file of its own and registers itself.
#include <string>
#include <vector>

namespace nimbrel::tool {

struct Command {
    const char* name;
    const char* usage; // the argument lines shown by usage, one per line
    // The arguments after the subcommand's name; answers the exit code.
    int (*run)(const std::vector<std::string>& args);
};

// Registers a command at start-up: `static const bool registered = RegisterCommand({...});`
bool RegisterCommand(const Command& command);

// Prints the usage of every command to stderr; answers 2.
int Usage();

} // namespace nimbrel::tool
