#include "platform/portable/host_file.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel::platform::portable {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting the failure.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

int WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t put = ::write(fd, text.data() + written, text.size() - written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return put < 0 ? errno : ENOSPC;
        written += static_cast<std::size_t>(put);
    }
    return 0;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

int ReadHostFile(const std::string& path, std::string& text) {
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0)
        return errno;
    std::string read;
    char buffer[8192];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            break;
        read.append(buffer, static_cast<std::size_t>(got));
    }
    text = std::move(read);
    return 0;
}

int ReplaceHostFile(const std::string& path, const std::string& text) {
    struct stat existing {};
    const bool exists = ::stat(path.c_str(), &existing) == 0;
    std::string tempPath = path + ".XXXXXX";
    Descriptor temp(::mkstemp(tempPath.data()));
    if (temp.get() < 0)
        return errno;
    int error = WriteAll(temp.get(), text);
    if (!error && ::fchmod(temp.get(), exists ? (existing.st_mode & 07777) : NewFileMode()) != 0)
        error = errno;
    if (!error && ::fsync(temp.get()) != 0)
        error = errno;
    if (const int closed = temp.Close(); !error && closed)
        error = closed;
    if (!error && ::rename(tempPath.c_str(), path.c_str()) != 0)
        error = errno;
    if (error)
        ::unlink(tempPath.c_str());
    return error;
}

} // namespace nimbrel::platform::portable
