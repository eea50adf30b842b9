#pragma once
// The verdict on one file of a wallpaper folder, from its headers alone or from a full
// decode (a JPEG whose header is fine but whose data ends early is found only so).
#include "imaging/bitmap.h"
#include "platform/files.h"
#include "wallpaper_folder/file_report.h"

#include <memory>
#include <string>
#include <utility>

namespace nimbrel::wallpaper {

enum class Depth {
    Headers, // open each file and read its headers: fast
    Deep,    // decode every picture and expand every NWP file in memory
};

// The picture a caller wants to see of the file (a thumbnail's source): a JPEG is decoded
// at the smallest reduced scale that still fills what the picture, its proportions kept,
// shows of itself in a box of `boxWidth` x `boxHeight`.
struct PictureWish {
    int boxWidth = 0;
    int boxHeight = 0;
};

// The folder whose files are examined: its Windows path (code page 1250), its host path,
// and the folder opened once, so that its files open by their found names without
// resolving the path.
struct ExaminedFolder {
    explicit ExaminedFolder(std::string folderPath)
        : path(std::move(folderPath)),
          hostPath(platform::HostPathOfWindowsPath(path).value_or(std::string())) {
        (void)opened.Open(path); // unopened, each file is opened by its whole path
    }
    std::string path;
    std::string hostPath; // UTF-8; empty when unknown
    platform::OpenedFolder opened;
};

// Examines one listed file of `folder`. Never throws for
// what a file holds; only a failure of the process itself (memory) passes on. With a wish,
// the file is decoded (as Deep does) and `picture` receives what was decoded, for every
// file that is not damaged.
FileReport ExamineFile(const ExaminedFolder& folder, const FolderEntry& entry, Depth depth,
                       const PictureWish* wish = nullptr,
                       std::unique_ptr<TBitmap>* picture = nullptr);

} // namespace nimbrel::wallpaper
