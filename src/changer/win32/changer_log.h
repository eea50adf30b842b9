#pragma once
// The changer's messages on Windows, where nobody watches its output: lines with the time in
// a log file of the user's profile. The file stays small: past its cap it becomes the one
// older log (".1", replacing the one before) and a new file begins.
#include <cstdint>
#include <string>

namespace nimbrel::changer {

class ChangerLog {
public:
    static constexpr std::uint64_t DefaultCap = 256 * 1024;
    // `path`: the log file (Windows path); its folder must exist.
    explicit ChangerLog(std::string path, std::uint64_t cap = DefaultCap);
    // Appends one line; a log that cannot be written loses the line, nothing more.
    void Write(const std::string& message) const;
    const std::string& Path() const { return path_; }

private:
    void RotateIfFull() const;
    std::string path_;
    std::uint64_t cap_;
};

} // namespace nimbrel::changer
