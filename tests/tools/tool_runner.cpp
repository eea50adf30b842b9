#include "tool_runner.h"

#include "support/temp_environment.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

namespace nimbrel::test {
namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted.push_back(c);
    }
    return quoted + "'";
}

} // namespace

ToolResult RunTool(const std::vector<std::string>& args, const std::string& input) {
    namespace fs = std::filesystem;
    char folderPattern[] = "/tmp/nimbrel-tool-run-XXXXXX";
    const fs::path folder = ::mkdtemp(folderPattern);
    std::ofstream(folder / "in", std::ios::binary) << input;
    std::string command = ShellQuoted(NIMBREL_TOOL);
    for (const std::string& arg : args)
        command += " " + ShellQuoted(arg);
    command += " <" + ShellQuoted((folder / "in").string()) + " >" +
               ShellQuoted((folder / "out").string()) + " 2>" +
               ShellQuoted((folder / "err").string());
    const int status = std::system(command.c_str());
    ToolResult result;
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.exitCode = 128 + WTERMSIG(status);
    result.out = HostFileBytes((folder / "out").string());
    result.err = HostFileBytes((folder / "err").string());
    fs::remove_all(folder);
    return result;
}

} // namespace nimbrel::test
