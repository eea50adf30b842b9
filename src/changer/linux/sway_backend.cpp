#include "changer/linux/sway_backend.h"

#include "sysutil/exception.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>

extern char** environ;

namespace nimbrel::changer {
namespace {

// The IPC's message types.
constexpr std::uint32_t RunCommand = 0;
constexpr std::uint32_t GetOutputs = 3;
constexpr char Magic[] = {'i', '3', '-', 'i', 'p', 'c'};

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }

private:
    int fd_;
};

void SendAll(int fd, const void* data, std::size_t size) {
    const char* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t sent = ::send(fd, at, size, MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent <= 0)
            throw Exception(std::string("sway's IPC: ") + std::strerror(errno));
        at += sent;
        size -= static_cast<std::size_t>(sent);
    }
}

void ReceiveAll(int fd, void* data, std::size_t size) {
    char* at = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t got = ::recv(fd, at, size, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            throw Exception(std::string("sway's IPC ended: ") +
                            (got == 0 ? "closed" : std::strerror(errno)));
        at += got;
        size -= static_cast<std::size_t>(got);
    }
}

// One request and its reply, parsed.
nlohmann::json Ask(const std::string& socketPath, std::uint32_t type, const std::string& payload) {
    FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path)
        throw Exception("no usable sway socket ('" + socketPath + "')");
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    // A compositor that hangs must not hang the changer.
    const timeval limit{10, 0};
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    ::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (fd.Get() < 0 ||
        ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        throw Exception("cannot reach sway at " + socketPath + ": " + std::strerror(errno));
    const std::uint32_t header[2] = {static_cast<std::uint32_t>(payload.size()), type};
    SendAll(fd.Get(), Magic, sizeof Magic);
    SendAll(fd.Get(), header, sizeof header);
    SendAll(fd.Get(), payload.data(), payload.size());
    char magic[sizeof Magic];
    std::uint32_t replyHeader[2];
    ReceiveAll(fd.Get(), magic, sizeof magic);
    ReceiveAll(fd.Get(), replyHeader, sizeof replyHeader);
    if (std::memcmp(magic, Magic, sizeof Magic) != 0 || replyHeader[0] > (64u << 20))
        throw Exception("sway's IPC answered something else");
    std::string reply(replyHeader[0], '\0');
    ReceiveAll(fd.Get(), reply.data(), reply.size());
    nlohmann::json parsed = nlohmann::json::parse(reply, nullptr, false);
    if (parsed.is_discarded())
        throw Exception("sway's IPC answered something else");
    return parsed;
}

// sway reads a command's words after expanding them as a shell would; a path of the
// changer's own folder is quoted, and one that quoting cannot keep whole is refused.
std::string Quoted(const std::string& path) {
    if (path.find_first_of("\"'\\$`\n;,") != std::string::npos)
        throw Exception("sway would not take the file name " + path + " as it is");
    return "\"" + path + "\"";
}

} // namespace

SwayDesktop::SwayDesktop(std::string socketPath, DesktopFiles files)
    : FileDesktop([this] { return OutputLayout(); }, std::move(files)),
      socketPath_(std::move(socketPath)) {}

std::vector<WaylandOutput> SwayDesktop::Outputs() {
    const nlohmann::json reply = Ask(socketPath_, GetOutputs, "");
    std::vector<WaylandOutput> outputs;
    for (const nlohmann::json& output : reply) {
        if (!output.value("active", false) || !output.contains("rect"))
            continue;
        const nlohmann::json& rect = output["rect"];
        outputs.push_back({output.value("name", ""),
                           {rect.value("x", 0), rect.value("y", 0), rect.value("width", 0),
                            rect.value("height", 0)}});
    }
    if (outputs.empty())
        throw Exception("sway reports no active output");
    return outputs;
}

ScreenLayout SwayDesktop::OutputLayout() {
    outputs_ = Outputs();
    return LayoutOfOutputs(outputs_);
}

void SwayDesktop::Hand(const std::vector<std::string>& files, const ScreenLayout& screen) {
    std::string commands;
    for (std::size_t i = 0; i < files.size(); ++i) {
        // Monitors() keeps the outputs' order.
        const std::string name = OutputNameAt(outputs_, screen.Monitors()[i]);
        commands += (commands.empty() ? "" : "; ") + std::string("output ") + Quoted(name) +
                    " bg " + Quoted(files[i]) + " fill";
    }
    const nlohmann::json results = Ask(socketPath_, RunCommand, commands);
    for (const nlohmann::json& result : results)
        if (!result.value("success", false))
            throw Exception("sway refused '" + commands + "': " + result.value("error", ""));
}

SwaybgDesktop::SwaybgDesktop(DesktopFiles files, std::string pidFile)
    : FileDesktop([this] { return OutputLayout(); }, std::move(files)),
      pidFile_(std::move(pidFile)) {
    // The swaybg processes the changer starts are reaped by the system: the changer never
    // waits for them.
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    action.sa_flags = SA_NOCLDWAIT;
    sigaction(SIGCHLD, &action, nullptr);
}

namespace {

// The swaybg a pid file names, when that process is still a swaybg.
pid_t RunningSwaybg(const std::string& pidFile) {
    pid_t pid = 0;
    std::ifstream(pidFile) >> pid;
    if (pid <= 0)
        return 0;
    std::string command;
    std::ifstream("/proc/" + std::to_string(pid) + "/comm") >> command;
    return command == "swaybg" ? pid : 0;
}

} // namespace

ScreenLayout SwaybgDesktop::OutputLayout() {
    outputs_ = WaylandOutputs();
    return LayoutOfOutputs(outputs_);
}

bool SwaybgDesktop::FilePerMonitor() const {
    return std::none_of(outputs_.begin(), outputs_.end(),
                        [](const WaylandOutput& output) { return output.name.empty(); });
}

void SwaybgDesktop::Hand(const std::vector<std::string>& files, const ScreenLayout& screen) {
    const pid_t previous = RunningSwaybg(pidFile_);
    std::vector<std::string> words = {"swaybg"};
    if (files.size() == 1)
        words.insert(words.end(), {"-i", files.front(), "-m", "fill"});
    else
        for (std::size_t i = 0; i < files.size(); ++i) {
            // Monitors() keeps the outputs' order.
            const std::string name = OutputNameAt(outputs_, screen.Monitors()[i]);
            words.insert(words.end(), {"-o", name, "-i", files[i], "-m", "fill"});
        }
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own session: it outlives a changer that ends after a change ("ExitOnChange").
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t started = 0;
    const int error = posix_spawnp(&started, "swaybg", nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (error != 0)
        throw Exception(std::string("cannot start swaybg: ") + std::strerror(error));
    std::ofstream(pidFile_) << started << '\n';
    if (previous > 0)
        ::kill(previous, SIGTERM);
}

} // namespace nimbrel::changer
