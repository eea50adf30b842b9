#include "dialog_host.h"

#include "platform/portable/environment.h"

#include <filesystem>
#include <fstream>

namespace nimbrel::test {

namespace fs = std::filesystem;

// The dialog finds its own folder through the drive table, like every other path: E: is
// the test program's folder.
TDialogHost::TDialogHost(const TempEnvironment& environment) : environment_(environment) {
    const fs::path program = fs::read_symlink("/proc/self/exe");
    std::ofstream drives(environment_.Root() + "/drives", std::ios::app);
    drives << "E: " << program.parent_path().string() << "\n";
}

TDialogHost::~TDialogHost() = default;

std::string TDialogHost::ProgramDrive() {
    return "E:\\";
}

std::string TDialogHost::SystemIniPath() const {
    return environment_.Root() + "/windows/SYSTEM.INI";
}

// The emulated store cannot remove a key: a fresh, empty store stands in for the rest of
// the test.
void TDialogHost::ForgetSettingsKey() {
    freshStore_.emplace();
}

// A folder where the store's database belongs.
void TDialogHost::MakeStoreUnusable() {
    fs::create_directories(environment_.Root() + "/registry.sqlite3");
}

std::string TDialogHost::PicturePath(std::string_view name) {
    return std::string(NIMBREL_BUILD_DIR) + "/" + std::string(name) + ".png";
}

} // namespace nimbrel::test
