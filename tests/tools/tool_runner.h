#pragma once
// Runs nimbrel-tool in the current environment (NIMBREL_ROOT is inherited) and collects
// what it printed and its exit code.
#include <string>
#include <vector>

namespace nimbrel::test {

struct ToolResult {
    int exitCode = -1; // 128 + signal when it died of one
    std::string out;
    std::string err;
};

struct ToolRunOptions {
    std::string input;           // standard input
    std::string workingFolder;   // a host folder to run in; empty: the test's own
    std::string standardOutput;  // a host file (/dev/full) for standard output; empty: collected
    bool asUnprivileged = false; // as the user "nobody" when the test runs as root
};

ToolResult RunTool(const std::vector<std::string>& args, const std::string& input = "");
ToolResult RunTool(const std::vector<std::string>& args, const ToolRunOptions& options);

} // namespace nimbrel::test
