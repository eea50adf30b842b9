#pragma once
// Programs started as a session starts them, and an X server (Xvfb) of a test's own on a
// display number it picks itself. POSIX hosts only.
#include <string>
#include <sys/types.h>
#include <vector>

namespace nimbrel::test {

// Starts args[0] (a path, or a name looked up in PATH) with the caller's environment; the
// descriptors given become its standard output and error. Answers its process id, -1 when
// it cannot start.
pid_t SpawnProgram(const std::vector<std::string>& args, int stdoutFd = -1, int stderrFd = -1);
// Waits for the program's end: its exit status, or 128 + the signal that ended it.
int FinishProgram(pid_t pid);
// Starts the program and waits for its end: its exit status as above.
int RunProgram(const std::vector<std::string>& args);

class XvfbServer {
public:
    // A screen of width x height at 24 bits; Name() is empty when the server did not start.
    XvfbServer(int width, int height, const std::vector<std::string>& moreArgs = {});
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& Name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

} // namespace nimbrel::test
