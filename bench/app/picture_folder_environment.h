#pragma once
// The world of the wallpaper-page benchmarks: the program's start-up steps, its
// application object with the message pump, and an emulated environment in a temporary
// folder whose drive C: holds the wallpaper folder C:\walls.
#include <memory>
#include <string>

namespace nimbrel::bench {

class PictureFolderEnvironment {
public:
    PictureFolderEnvironment(int& argc, char** argv);
    ~PictureFolderEnvironment();
    PictureFolderEnvironment(const PictureFolderEnvironment&) = delete;
    PictureFolderEnvironment& operator=(const PictureFolderEnvironment&) = delete;

    static constexpr const char* WallsFolder = "C:\\walls";
    // The host folder that C:\walls stands for.
    const std::string& WallsHostFolder() const { return walls_; }
    // Makes `count` empty pictures, half "imgNNNNN.jpg" and half "PicNNNNN.BMP".
    void MakeEmptyPictures(int count) const;
    // Stores C:\walls as the wallpaper folder.
    void StoreWallsAsWallpaperFolder() const;

private:
    struct Application;
    std::string base_;
    std::string walls_;
    std::unique_ptr<Application> application_;
};

} // namespace nimbrel::bench
