#include "support/temp_environment.h"

#ifdef _WIN32

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>

namespace nimbrel::test {
namespace {

namespace fs = std::filesystem;

// On Windows the drives cannot be remapped for a test: C: (and D:) are the test run's own
// throwaway drives (scripts/test-windows makes them), and whatever a test adds at their
// roots is removed again at the end.
std::set<fs::path> RootEntries(const fs::path& root) {
    std::set<fs::path> entries;
    std::error_code ignored;
    for (fs::directory_iterator it(root, ignored), end; it != end; it.increment(ignored))
        entries.insert(it->path());
    return entries;
}

void RemoveAdded(const fs::path& root, const std::set<fs::path>& before) {
    std::error_code ignored;
    for (const fs::path& entry : RootEntries(root)) {
        if (before.count(entry) != 0)
            continue;
        for (auto it = fs::recursive_directory_iterator(entry, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::permissions(entry, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(entry, ignored);
    }
}

std::string MakeTempFolder() {
    const fs::path temp = fs::temp_directory_path();
    for (unsigned n = 0;; ++n) {
        const fs::path candidate =
            temp / ("nimbrel-test-" + std::to_string(std::rand()) + "-" + std::to_string(n));
        std::error_code error;
        if (fs::create_directory(candidate, error))
            return candidate.string();
        if (error)
            throw std::runtime_error("cannot make a temporary folder");
    }
}

} // namespace

TempEnvironment::TempEnvironment() : TempEnvironment(Options{}) {}

TempEnvironment::TempEnvironment(Options options)
    : base_(MakeTempFolder()), root_(base_), withDriveD_(options.withDriveD) {
    std::error_code ignored;
    previousFolder_ = fs::current_path(ignored).string();
    // The entries found at the drive roots are kept in files beside the base folder's
    // own, so that the class's layout stays the one of every host.
    std::ofstream c(base_ + "/c-before");
    for (const fs::path& entry : RootEntries(DriveFolder('C')))
        c << entry.string() << '\n';
    if (withDriveD_) {
        std::ofstream d(base_ + "/d-before");
        for (const fs::path& entry : RootEntries(DriveFolder('D')))
            d << entry.string() << '\n';
    }
}

TempEnvironment::~TempEnvironment() {
    std::error_code ignored;
    fs::current_path(previousFolder_, ignored);
    const auto read = [this](const char* file) {
        std::set<fs::path> entries;
        std::ifstream in(base_ + "/" + file);
        for (std::string line; std::getline(in, line);)
            entries.insert(line);
        return entries;
    };
    RemoveAdded(DriveFolder('C'), read("c-before"));
    if (withDriveD_)
        RemoveAdded(DriveFolder('D'), read("d-before"));
    fs::remove_all(base_, ignored);
}

std::string TempEnvironment::DriveFolder(char letter) const {
    if (letter == 'C' || letter == 'c')
        return "C:\\";
    if ((letter == 'D' || letter == 'd') && withDriveD_)
        return "D:\\";
    throw std::invalid_argument("no such drive in the temporary environment");
}

} // namespace nimbrel::test

#endif
