#include "picture_folder_environment.h"

#include "controls/error_report.h"
#include "controls/qt/application.h"
#include "imaging/picture_formats.h"
#include "platform/portable/environment.h"
#include "settings/registry_accessor.h"
#include "settings/store_values.h"
#include "sysutil/message_pump.h"
#include "sysutil/setups.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace nimbrel::bench {

namespace fs = std::filesystem;

struct PictureFolderEnvironment::Application {
    qt::TQtApplication application;
    qt::TQtToolkit toolkit;
    Application(int& argc, char** argv) : application(argc, argv) { InstallToolkit(&toolkit); }
    ~Application() { InstallToolkit(nullptr); }
};

PictureFolderEnvironment::PictureFolderEnvironment(int& argc, char** argv) {
    std::string pattern = (fs::temp_directory_path() / "nimbrel-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make the benchmark's folder");
    base_ = pattern;
    walls_ = base_ + "/c/walls";
    fs::create_directories(walls_);
    fs::create_directories(base_ + "/root");
    std::ofstream(base_ + "/root/drives") << "C: " << base_ << "/c\n";
    ::setenv("NIMBREL_ROOT", (base_ + "/root").c_str(), 1);
    platform::portable::ResetEnvironment();

    // As the program starts: setups, picture formats, the application and its pump.
    RunSetups();
    RegisterPictureFormats();
    application_ = std::make_unique<Application>(argc, argv);
}

PictureFolderEnvironment::~PictureFolderEnvironment() {
    application_.reset();
    std::error_code ignored;
    fs::remove_all(base_, ignored);
}

void PictureFolderEnvironment::MakeEmptyPictures(int count) const {
    char name[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, i % 2 ? "Pic%05d.BMP" : "img%05d.jpg", i);
        std::ofstream{walls_ + "/" + name};
    }
}

void PictureFolderEnvironment::StoreWallsAsWallpaperFolder() const {
    TRegistry registry;
    registry.OpenKey(store::SettingsKey, true);
    registry.WriteString(store::WallpaperFolder, WallsFolder);
}

} // namespace nimbrel::bench
