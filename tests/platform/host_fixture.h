#pragma once
// What the contract tests need from the host and that differs between hosts: a drive
// (or folder) of their own, files made on the disk by their host names, and which drives
// exist. Everything else the tests do through the platform headers alone.
#include "platform/system.h"
#include "platform/win_error.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace nimbrel::test {

// The facts in which the hosts truly differ. A test that meets one asks for it by name and
// checks what that host does instead.
struct HostTraits {
    // Two names that differ only in case can both be on the disk, and the exact one is
    // opened (the emulated environment over a case-sensitive file system). On Windows the
    // two are one file; Wine, over a case-sensitive disk, opens either.
    bool exactCaseWins = true;
    // A read-only file refuses to be opened for writing or deleted. Wine run as root does
    // not enforce it: it keeps the attribute as host permissions, which root passes.
    bool readOnlyEnforced = true;
    // WritePrivateProfileString changes its one line and leaves the rest of the file as it
    // was. Wine rewrites the whole file: blank lines dropped, CR LF line ends, no spaces
    // around section names.
    bool profileKeepsLayout = true;
    // Profile section names compare ignoring the case of 1250's national letters (Š, š)
    // too. Wine's profile files fold ASCII letters only.
    bool profileFoldsNationalLetters = true;
    // GetTempFileName's answer for a folder that does not exist: Windows (and Wine)
    // answer ERROR_DIRECTORY, the emulated environment ERROR_PATH_NOT_FOUND.
    platform::WinError tempFileInMissingFolder = platform::ErrorPathNotFound;
    // A wildcard may also match a long name through its generated 8.3 short name, so that
    // *.JPG finds f.jpgx (F~1.JPG). Windows (where short names are made) and Wine do; the
    // emulated environment has no short names.
    bool searchMatchesShortNames = false;
    // The platform id of the version query: 2 (NT) on Windows, the emulated environment's
    // own id elsewhere.
    std::uint32_t platformId = platform::PlatformIdEmulated;
};

class HostFixture : public ::testing::Test {
protected:
    HostFixture();
    ~HostFixture() override;

    // The test's own place as a Windows path without a trailing backslash: a drive ("C:")
    // where a drive can be given to the test, else a fresh folder. Root() + "\\" is a drive
    // root only when RootIsDrive().
    std::string Root() const;
    bool RootIsDrive() const;
    // A second drive of the test's own ("D:"), or empty when the host cannot give one.
    std::string SecondDrive() const;

    // Files and folders made on the disk below Root() by their host names (UTF-8, '/'
    // separated), as another program would make them.
    void MakeFileOnDisk(std::string_view relativePath, std::string_view bytes = "x");
    void MakeFolderOnDisk(std::string_view relativePath);
    std::string ReadFileOnDisk(std::string_view relativePath);
    bool ExistsOnDisk(std::string_view relativePath);
    void MakeReadOnlyOnDisk(std::string_view relativePath);
    void RenameOnDisk(std::string_view from, std::string_view to);
    void RemoveOnDisk(std::string_view relativePath);
    // A second name for an existing file; false where the host's disk cannot make one.
    bool MakeHardLinkOnDisk(std::string_view existing, std::string_view newName);

    // A registry key (below HKEY_CURRENT_USER) that only this test uses.
    std::string TestKey() const;

    // This host's answers where the hosts differ.
    static const HostTraits& Traits();

private:
    struct Host;
    std::unique_ptr<Host> host_;
};

} // namespace nimbrel::test
