// The emulated environment gives each test its own root, drives C: and D: and registry.
#include "platform/host_fixture.h"

#include "support/temp_environment.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbrel::test {

struct HostFixture::Host {
    TempEnvironment environment{TempEnvironment::Options{true}};
    std::string OnDisk(std::string_view relativePath) const {
        return environment.DriveFolder('C') + "/" + std::string(relativePath);
    }
};

HostFixture::HostFixture() : host_(std::make_unique<Host>()) {}
HostFixture::~HostFixture() = default;

std::string HostFixture::Root() const {
    return "C:";
}
bool HostFixture::RootIsDrive() const {
    return true;
}
std::string HostFixture::SecondDrive() const {
    return "D:";
}

void HostFixture::MakeFileOnDisk(std::string_view relativePath, std::string_view bytes) {
    host_->environment.WriteHostFile('C', relativePath, bytes);
}

void HostFixture::MakeFolderOnDisk(std::string_view relativePath) {
    host_->environment.MakeHostFolder('C', relativePath);
}

std::string HostFixture::ReadFileOnDisk(std::string_view relativePath) {
    return HostFileBytes(host_->OnDisk(relativePath));
}

bool HostFixture::ExistsOnDisk(std::string_view relativePath) {
    std::error_code ignored;
    return std::filesystem::exists(host_->OnDisk(relativePath), ignored);
}

void HostFixture::MakeReadOnlyOnDisk(std::string_view relativePath) {
    ::chmod(host_->OnDisk(relativePath).c_str(), 0444);
}

void HostFixture::RenameOnDisk(std::string_view from, std::string_view to) {
    std::filesystem::rename(host_->OnDisk(from), host_->OnDisk(to));
}

void HostFixture::RemoveOnDisk(std::string_view relativePath) {
    std::filesystem::remove(host_->OnDisk(relativePath));
}

bool HostFixture::MakeHardLinkOnDisk(std::string_view existing, std::string_view newName) {
    return ::link(host_->OnDisk(existing).c_str(), host_->OnDisk(newName).c_str()) == 0;
}

const HostTraits& HostFixture::Traits() {
    static const HostTraits emulated;
    return emulated;
}

std::string HostFixture::TestKey() const {
    return "Software\\Vexmoor\\PlatformTest";
}

} // namespace nimbrel::test
