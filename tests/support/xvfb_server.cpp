#include "support/xvfb_server.h"

#if !defined(_WIN32)
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace nimbrel::test {

pid_t SpawnProgram(const std::vector<std::string>& args, int stdoutFd, int stderrFd) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, 1);
    if (stderrFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stderrFd, 2);
    pid_t pid = -1;
    if (args.empty() || posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int FinishProgram(pid_t pid) {
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int RunProgram(const std::vector<std::string>& args) {
    return FinishProgram(SpawnProgram(args));
}

XvfbServer::XvfbServer(int width, int height, const std::vector<std::string>& moreArgs) {
    int fds[2];
    if (pipe(fds) != 0)
        return;
    std::vector<std::string> args{
        "/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]),
        "-screen",       "0",          std::to_string(width) + "x" + std::to_string(height) + "x24",
        "-nolisten",     "tcp"};
    args.insert(args.end(), moreArgs.begin(), moreArgs.end());
    pid_ = SpawnProgram(args);
    close(fds[1]);
    // The server writes its display number and a newline once it takes connections.
    std::string number;
    char c = 0;
    while (pid_ > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (!number.empty())
        name_ = ":" + number;
}

XvfbServer::~XvfbServer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        FinishProgram(pid_);
    }
}

} // namespace nimbrel::test
#endif
