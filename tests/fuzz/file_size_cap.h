#pragma once
// Caps the size of every file the process writes while the object lives: a write past the
// cap fails as on a full disk (the signal the kernel would send is ignored). A few random
// bytes of a compressed file can stand for a megabyte of output; the cap keeps one input's
// run short and takes the program through its full-disk path instead.
#include <csignal>
#include <cstdint>
#include <sys/resource.h>

namespace nimbrel::fuzz {

class FileSizeCap {
public:
    explicit FileSizeCap(std::uint64_t bytes) {
        static const bool ignored = [] { return std::signal(SIGXFSZ, SIG_IGN) != SIG_ERR; }();
        (void)ignored;
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit capped = saved_;
        if (capped.rlim_max == RLIM_INFINITY || capped.rlim_max > bytes)
            capped.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &capped);
    }
    ~FileSizeCap() { ::setrlimit(RLIMIT_FSIZE, &saved_); }
    FileSizeCap(const FileSizeCap&) = delete;
    FileSizeCap& operator=(const FileSizeCap&) = delete;

private:
    rlimit saved_{};
};

} // namespace nimbrel::fuzz
