#pragma once
// What the contract tests need from the host and that differs between hosts: a drive
// (or folder) of their own, files made on the disk by their host names, and which drives
// exist. Everything else the tests do through the platform headers alone.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

namespace nimbrel::test {

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

    // A registry key (below HKEY_CURRENT_USER) that only this test uses.
    std::string TestKey() const;

private:
    struct Host;
    std::unique_ptr<Host> host_;
};

} // namespace nimbrel::test
