#include "tool_runner.h"

#include "support/temp_environment.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

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
    ToolRunOptions options;
    options.input = input;
    return RunTool(args, options);
}

ToolResult RunTool(const std::vector<std::string>& args, const ToolRunOptions& options) {
    namespace fs = std::filesystem;
    char folderPattern[] = "/tmp/nimbrel-tool-run-XXXXXX";
    const fs::path folder = ::mkdtemp(folderPattern);
    // Readable by whoever runs the tool; its output files are made by the shell as root.
    fs::permissions(folder, fs::perms::all);
    std::ofstream(folder / "in", std::ios::binary) << options.input;
    std::string command;
    if (!options.workingFolder.empty())
        command += "cd " + ShellQuoted(options.workingFolder) + " && ";
    if (options.asUnprivileged && ::geteuid() == 0)
        command += "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    command += ShellQuoted(NIMBREL_TOOL);
    for (const std::string& arg : args)
        command += " " + ShellQuoted(arg);
    const std::string out =
        options.standardOutput.empty() ? (folder / "out").string() : options.standardOutput;
    command += " <" + ShellQuoted((folder / "in").string()) + " >" + ShellQuoted(out) + " 2>" +
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
