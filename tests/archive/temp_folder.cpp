#include "tests/archive/temp_folder.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <random>

#ifndef _WIN32
#include "platform/portable/environment.h"
#endif

namespace nimbrel::test {

TempFolder::TempFolder() {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() /
              ("nimbrel-archive-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(folder_ / "files");
#ifndef _WIN32
    ::setenv("NIMBREL_ROOT", (folder_ / "root").c_str(), 1);
    platform::portable::ResetEnvironment();
#endif
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(folder_, ignored);
#ifndef _WIN32
    ::unsetenv("NIMBREL_ROOT");
    platform::portable::ResetEnvironment();
#endif
}

std::filesystem::path TempFolder::Host(const std::string& name) const {
    return name.empty() ? folder_ / "files" : folder_ / "files" / name;
}

std::string TempFolder::Windows(const std::string& name) const {
#ifdef _WIN32
    return Host(name).string();
#else
    // Without a drive table, C: is the host's root; a forward slash separates as well.
    return "C:" + Host(name).string();
#endif
}

std::vector<std::string> TempFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Host()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace nimbrel::test
