#pragma once
// The picture files handed to a desktop that keeps a wallpaper setting of its own. Such a
// desktop reloads a picture only when the name it is given changes, so every change gets
// files of a new name (a time stamp), and the files of earlier changes are removed once the
// desktop has the new ones: the folder holds one change's files, or two for a moment.
#include "changer/screen_layout.h"
#include "imaging/bitmap.h"

#include <string>
#include <vector>

namespace nimbrel::changer {

enum class DesktopFileFormat {
    Bmp, // the desktops that read through gdk-pixbuf or Qt: no encoding to pay for
    Png, // swaybg reads PNG through cairo in every build, other formats only with gdk-pixbuf
};

class DesktopFiles {
public:
    // `folder`: a host folder of the changer's own, made when missing.
    DesktopFiles(std::string folder, DesktopFileFormat format);

    // Writes the parts of the wallpaper that `parts` cut out (the whole of it for one part
    // that covers it), one new file each; answers their host paths in the same order.
    // Raises Exception with the cause when a file cannot be written (none is left half).
    std::vector<std::string> Write(const TBitmap& wallpaper, const std::vector<MonitorRect>& parts);
    // Removes the files of earlier changes: every file of this folder but `keep`.
    void RemoveAllBut(const std::vector<std::string>& keep) const;

    const std::string& Folder() const { return folder_; }

private:
    std::string folder_;
    DesktopFileFormat format_;
};

// file:// URI of a host path, each byte outside the unreserved set %-escaped.
std::string FileUri(const std::string& hostPath);

} // namespace nimbrel::changer
