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
        std::vector<TListedFile> files;
        ListFileEntries(JoinPath(folder, pattern), files);
        for (TListedFile& file : files) {
            if (kind == FileKind::Bitmap && IsChangerFile(file.name))
                continue;
            entries.push_back({std::move(file.name), kind, std::move(file.foundName),
                               file.attributes, file.size});
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

std::vector<FolderEntry> ListNwpFiles(std::string_view folder) {
    std::vector<TListedFile> files;
    ListFileEntries(JoinPath(folder, "*.NWP"), files);
    std::vector<FolderEntry> entries;
    entries.reserve(files.size());
    for (TListedFile& file : files)
        entries.push_back({std::move(file.name), FileKind::Nwp, std::move(file.foundName),
                           file.attributes, file.size});
    return entries;
}

std::string EntryPath(std::string_view folder, const FolderEntry& entry) {
    return JoinPath(folder, entry.foundName.empty() ? entry.name : entry.foundName);
}

} // namespace nimbrel::report
