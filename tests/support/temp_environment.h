#pragma once
// A temporary emulated environment for one test: NIMBREL_ROOT points at a fresh folder,
// the drives table maps C: (and, when asked, D:) to fresh folders, and everything is
// removed again at the end. The previous NIMBREL_ROOT and current folder come back too.
// On Windows C: and D: are the test run's own drives; what a test adds there is removed.
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::test {

class TempEnvironment {
public:
    struct Options {
        bool withDriveD = false;
    };
    TempEnvironment();
    explicit TempEnvironment(Options options);
    ~TempEnvironment();
    TempEnvironment(const TempEnvironment&) = delete;
    TempEnvironment& operator=(const TempEnvironment&) = delete;

    // Host folders: the environment root, and the folder a drive stands for.
    const std::string& Root() const { return root_; }
    std::string DriveFolder(char letter) const;

    // Writes a host file (folders made as needed) below a drive's folder, by its host name
    // (UTF-8, '/' separated), e.g. WriteHostFile('C', "pics/sunset.jpg", bytes).
    std::string WriteHostFile(char drive, std::string_view relativePath,
                              std::string_view bytes) const;
    // Makes a host folder below a drive's folder.
    std::string MakeHostFolder(char drive, std::string_view relativePath) const;

private:
    std::string base_;
    std::string root_;
    bool withDriveD_;
    std::optional<std::string> previousRoot_;
    std::string previousFolder_;
};

// The bytes of a host file; empty when it cannot be read.
std::string HostFileBytes(const std::string& hostPath);

} // namespace nimbrel::test
