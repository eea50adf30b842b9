#include "tools/folder_report/folder_listing.h"

#include "sysutil/list_files.h"

#include <algorithm>

namespace nimbrel::report {

bool IsChangerFile(std::string_view bitmapName) {
    return bitmapName == "NIMBREL.BMP" || bitmapName == "NEXTPIC.BMP";
}

bool IsRequestable(std::string_view name) {
    return name.find(".JPG") != std::string_view::npos;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += '\\';
    path += name;
    return path;
}

std::string FolderListPath(std::string_view folder) {
    const bool driveRoot =
        folder.size() == 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
    if (!driveRoot && folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/'))
        folder.remove_suffix(1);
    return std::string(folder);
}

std::vector<FolderEntry> ListFolder(std::string_view folder) {
    std::vector<FolderEntry> entries;
    auto add = [&](const char* pattern, FileKind kind) {
        std::vector<std::string> names;
        ListFiles(JoinPath(folder, pattern), names);
        for (std::string& name : names) {
            if (kind == FileKind::Bitmap && IsChangerFile(name))
                continue;
            entries.push_back({std::move(name), kind});
        }
    };
    add("*.JPG", FileKind::Jpeg);
    add("*.BMP", FileKind::Bitmap);
    add("*.NWP", FileKind::Nwp);
    // Each list comes sorted; one stable sort interleaves them as the list box does.
    std::stable_sort(entries.begin(), entries.end(),
                     [](const FolderEntry& a, const FolderEntry& b) {
                         return CompareNamesNoCase(a.name, b.name) < 0;
                     });
    return entries;
}

std::vector<std::string> ListNwpFiles(std::string_view folder) {
    std::vector<std::string> names;
    ListFiles(JoinPath(folder, "*.NWP"), names);
    return names;
}

} // namespace nimbrel::report
