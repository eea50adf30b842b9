// The scratch environment's files, made and read alike on every host: only the drive
// folders differ (temp_environment.cpp, temp_environment_win32.cpp).
#include "support/temp_environment.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace nimbrel::test {

namespace fs = std::filesystem;

std::string TempEnvironment::WriteHostFile(char drive, std::string_view relativePath,
                                           std::string_view bytes) const {
    const fs::path path = fs::path(DriveFolder(drive)) / fs::path(relativePath);
    fs::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
    return path.string();
}

std::string TempEnvironment::MakeHostFolder(char drive, std::string_view relativePath) const {
    const fs::path path = fs::path(DriveFolder(drive)) / fs::path(relativePath);
    fs::create_directories(path);
    return path.string();
}

std::string HostFileBytes(const std::string& hostPath) {
    std::ifstream file(fs::path(hostPath), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

} // namespace nimbrel::test
