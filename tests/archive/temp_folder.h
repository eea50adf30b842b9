#pragma once
// A scratch folder on the host, seen by the program through a Windows path, inside an
// emulated environment of its own where the platform is the portable one.
#include <filesystem>
#include <string>
#include <vector>

namespace nimbrel::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::filesystem::path Host(const std::string& name = "") const;
    // The Windows path of `name` in the folder.
    std::string Windows(const std::string& name) const;
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::filesystem::path folder_;
};

} // namespace nimbrel::test
