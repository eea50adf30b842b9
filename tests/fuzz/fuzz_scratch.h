#pragma once
// A scratch folder of one harness process with the emulated C: drive's root inside it,
// removed at exit. It lies in memory (/dev/shm) where the machine has that, so that the
// files each input writes never wait for a disk; elsewhere in the temporary folder.
#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

#include "platform/portable/environment.h"

namespace nimbrel::fuzz {

struct ScratchFolder {
    std::filesystem::path folder;
    explicit ScratchFolder(const std::string& harness) {
        std::error_code error;
        const std::filesystem::path memory = "/dev/shm";
        const auto base =
            std::filesystem::is_directory(memory, error) && ::access(memory.c_str(), W_OK) == 0
                ? memory
                : std::filesystem::temp_directory_path();
        folder = base / ("nimbrel-fuzz-" + harness + "-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder / "root");
        ::setenv("NIMBREL_ROOT", (folder / "root").c_str(), 1);
        platform::portable::ResetEnvironment();
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
};

} // namespace nimbrel::fuzz
