#include "support/temp_environment.h"

#ifndef _WIN32

#include "platform/portable/environment.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace nimbrel::test {
namespace {

namespace fs = std::filesystem;

std::string MakeTempFolder() {
    const fs::path base = fs::temp_directory_path() / "nimbrel-test-XXXXXX";
    std::string pattern = base.string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    return pattern;
}

} // namespace

TempEnvironment::TempEnvironment() : TempEnvironment(Options{}) {}

TempEnvironment::TempEnvironment(Options options)
    : base_(MakeTempFolder()), root_(base_ + "/root"), withDriveD_(options.withDriveD) {
    if (const char* previous = std::getenv("NIMBREL_ROOT"))
        previousRoot_ = previous;
    std::error_code ignored;
    previousFolder_ = fs::current_path(ignored).string();
    fs::create_directories(root_);
    fs::create_directories(base_ + "/c");
    std::ofstream drives(root_ + "/drives");
    drives << "C: " << base_ << "/c\n";
    if (withDriveD_) {
        fs::create_directories(base_ + "/d");
        drives << "D: " << base_ << "/d\n";
    }
    drives.close();
    ::setenv("NIMBREL_ROOT", root_.c_str(), 1);
    platform::portable::ResetEnvironment();
}

TempEnvironment::~TempEnvironment() {
    std::error_code ignored;
    fs::current_path(previousFolder_, ignored);
    if (previousRoot_)
        ::setenv("NIMBREL_ROOT", previousRoot_->c_str(), 1);
    else
        ::unsetenv("NIMBREL_ROOT");
    platform::portable::ResetEnvironment();
    // Read-only files and folders made by a test must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(base_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(base_, ignored);
}

std::string TempEnvironment::DriveFolder(char letter) const {
    if (letter == 'C' || letter == 'c')
        return base_ + "/c";
    if ((letter == 'D' || letter == 'd') && withDriveD_)
        return base_ + "/d";
    throw std::invalid_argument("no such drive in the temporary environment");
}

} // namespace nimbrel::test

#endif
