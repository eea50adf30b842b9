#include "child_launcher.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace nimbrel::bench {
namespace {

// The request: its length, then the program, the folder and each environment entry, every
// one ended by a zero byte. The answer: whether the program ran well, and its figures.
struct Answer {
    std::int32_t succeeded = 0;
    ChildRun run;
};

// Passes all `size` bytes through `transfer` (read or write), piece by piece as the pipe
// takes them; false when it stops short.
template <class Byte, class Transfer>
bool TransferAll(int fd, Byte* bytes, std::size_t size, Transfer transfer) {
    while (size > 0) {
        const ssize_t done = transfer(fd, bytes, size);
        if (done <= 0)
            return false;
        bytes += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    return TransferAll(fd, static_cast<const char*>(data), size, ::write);
}

bool ReadAll(int fd, void* data, std::size_t size) {
    return TransferAll(fd, static_cast<char*>(data), size, ::read);
}

double Ms(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

Answer RunRequest(std::vector<char>& request) {
    std::vector<char*> parts;
    for (std::size_t at = 0; at < request.size();
         at += std::char_traits<char>::length(&request[at]) + 1)
        parts.push_back(&request[at]);
    Answer answer;
    if (parts.size() < 2 || ::chdir(parts[1]) != 0)
        return answer;
    char* argv[] = {parts[0], nullptr};
    std::vector<char*> environment(parts.begin() + 2, parts.end());
    environment.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (::posix_spawn(&child, parts[0], nullptr, nullptr, argv, environment.data()) != 0)
        return answer;
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child)
        return answer;
    answer.run.wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    answer.run.processorMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
    answer.run.peakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes
    answer.succeeded = WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 1 : 0;
    return answer;
}

[[noreturn]] void Serve(int requests, int answers) {
    for (;;) {
        std::uint32_t size = 0;
        if (!ReadAll(requests, &size, sizeof size))
            std::_Exit(0); // the benchmark has ended
        std::vector<char> request(size);
        if (!ReadAll(requests, request.data(), size))
            std::_Exit(0);
        const Answer answer = RunRequest(request);
        if (!WriteAll(answers, &answer, sizeof answer))
            std::_Exit(0);
    }
}

} // namespace

ChildLauncher::ChildLauncher() {
    int toHelper[2];
    int fromHelper[2];
    if (::pipe(toHelper) != 0 || ::pipe(fromHelper) != 0)
        throw std::runtime_error("cannot make the launcher's pipes");
    helper_ = ::fork();
    if (helper_ < 0)
        throw std::runtime_error("cannot start the launcher");
    if (helper_ == 0) {
        ::close(toHelper[1]);
        ::close(fromHelper[0]);
        Serve(toHelper[0], fromHelper[1]);
    }
    ::close(toHelper[0]);
    ::close(fromHelper[1]);
    requests_ = toHelper[1];
    answers_ = fromHelper[0];
}

ChildLauncher::~ChildLauncher() {
    ::close(requests_);
    ::close(answers_);
    int status = 0;
    ::waitpid(helper_, &status, 0);
}

ChildRun ChildLauncher::Run(const std::string& program, const std::string& folder) {
    std::vector<char> request;
    auto add = [&request](const char* text) {
        request.insert(request.end(), text, text + std::char_traits<char>::length(text) + 1);
    };
    add(program.c_str());
    add(folder.c_str());
    for (char** entry = environ; *entry != nullptr; ++entry)
        add(*entry);
    const auto size = static_cast<std::uint32_t>(request.size());
    Answer answer;
    if (!WriteAll(requests_, &size, sizeof size) ||
        !WriteAll(requests_, request.data(), request.size()) ||
        !ReadAll(answers_, &answer, sizeof answer))
        throw std::runtime_error("the launcher has gone");
    if (answer.succeeded == 0)
        throw std::runtime_error(program + " failed");
    return answer.run;
}

} // namespace nimbrel::bench
