#include "platform/portable/host_file.h"

#include "platform/portable/host_descriptor.h"
#include "platform/portable/host_replacement.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace nimbrel::platform::portable {

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
    HostReplacement replacement;
    std::size_t done = 0;
    if (const int error = replacement.Begin(path))
        return error;
    if (const int error = replacement.Write(text.data(), text.size(), done))
        return error;
    return replacement.Commit();
}

} // namespace nimbrel::platform::portable
