#pragma once
// A throw-away emulated Windows environment for one test: NIMBREL_ROOT points at a fresh
// temporary folder whose drive table maps C: to that folder and D: to the host's root
// (where the test program itself lives). The Windows directory is then C:\windows.
#include "platform/portable/environment.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace nimbrel::testing {

class EmulatedRoot {
public:
    EmulatedRoot() {
        std::string pattern = (std::filesystem::temp_directory_path() / "nimbrel-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder");
        root_ = pattern;
        if (const char* previous = std::getenv("NIMBREL_ROOT"))
            previous_ = previous;
        WriteHostFile("drives", "C: " + root_.string() + "\nD: /\n");
        setenv("NIMBREL_ROOT", root_.c_str(), 1);
        platform::portable::ResetEnvironment();
    }
    ~EmulatedRoot() {
        if (previous_)
            setenv("NIMBREL_ROOT", previous_->c_str(), 1);
        else
            unsetenv("NIMBREL_ROOT");
        platform::portable::ResetEnvironment();
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    EmulatedRoot(const EmulatedRoot&) = delete;
    EmulatedRoot& operator=(const EmulatedRoot&) = delete;

    // The host path of a path below C:\ ("windows/WIN.INI").
    std::filesystem::path Host(std::string_view relative) const { return root_ / relative; }

    // Writes a host file below C:\, making its folders.
    void WriteHostFile(std::string_view relative, std::string_view contents) const {
        const std::filesystem::path path = Host(relative);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << contents;
    }

private:
    std::filesystem::path root_;
    std::optional<std::string> previous_;
};

} // namespace nimbrel::testing
