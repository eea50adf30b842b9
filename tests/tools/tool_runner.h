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

ToolResult RunTool(const std::vector<std::string>& args, const std::string& input = "");

} // namespace nimbrel::test
