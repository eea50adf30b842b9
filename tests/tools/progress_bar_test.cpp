// The progress bar of scan and convert: drawn on a terminal, never into a pipe or file.
#include "support/jpeg_maker.h"
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace nimbrel {
namespace {

struct TerminalRun {
    int exitCode = -1;
    std::string terminal; // what the tool wrote to standard error, a pseudo-terminal
    std::string out;
};

// Runs nimbrel-tool with standard error on a pseudo-terminal and standard output in a file.
TerminalRun RunWithTerminalStderr(const std::vector<std::string>& args) {
    TerminalRun run;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return run;
    const std::string slaveName = ::ptsname(master);
    char outPattern[] = "/tmp/nimbrel-tty-out-XXXXXX";
    const int out = ::mkstemp(outPattern);
    const pid_t child = ::fork();
    if (child == 0) {
        const int slave = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY);
        ::dup2(slave, STDERR_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::close(master);
        std::vector<char*> argv{const_cast<char*>(NIMBREL_TOOL)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(NIMBREL_TOOL, argv.data());
        ::_exit(127);
    }
    int status = 0;
    // Read until the child has closed the terminal (EIO) so its buffer never fills.
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got > 0) {
            run.terminal.append(buffer, static_cast<std::size_t>(got));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        break;
    }
    ::waitpid(child, &status, 0);
    ::close(master);
    ::close(out);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = test::HostFileBytes(outPattern);
    ::unlink(outPattern);
    return run;
}

TEST(ProgressBar, DrawnOnATerminalOnlyAndNeverInTheReport) {
    test::TempEnvironment environment;
    const auto jpeg = test::MakeJpeg({test::JpegKind::Baseline420, 32, 32});
    for (int i = 0; i < 20; ++i)
        environment.WriteHostFile('C', "walls/p" + std::to_string(i) + ".jpg",
                                  std::string(jpeg.begin(), jpeg.end()));
    // The bar shows at once instead of after a moment.
    ::setenv("NIMBREL_PROGRESS_AFTER_MS", "0", 1);

    const TerminalRun onTerminal = RunWithTerminalStderr({"scan", "C:\\WALLS"});
    EXPECT_EQ(onTerminal.exitCode, 0);
    EXPECT_NE(onTerminal.terminal.find("scan ["), std::string::npos) << onTerminal.terminal;
    EXPECT_NE(onTerminal.terminal.find("20/20"), std::string::npos) << onTerminal.terminal;
    // It is taken away at the end, and the report itself stays clean.
    EXPECT_TRUE(onTerminal.terminal.ends_with("\r\033[K")) << onTerminal.terminal;
    EXPECT_EQ(onTerminal.out.find('\033'), std::string::npos);
    EXPECT_TRUE(onTerminal.out.ends_with("20 pictures: 20 ready, 0 to convert, 0 damaged\n"));

    const auto intoFile = test::RunTool({"scan", "C:\\WALLS"});
    EXPECT_EQ(intoFile.exitCode, 0);
    EXPECT_EQ(intoFile.err, "");
    EXPECT_EQ(intoFile.out, onTerminal.out);
    ::unsetenv("NIMBREL_PROGRESS_AFTER_MS");
}

} // namespace
} // namespace nimbrel
