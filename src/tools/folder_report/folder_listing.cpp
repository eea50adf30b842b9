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
    std::vector<TListedFile> files;
    auto add = [&](const char* pattern, FileKind kind) {
        ListFileEntries(JoinPath(folder, pattern), files);
        const auto sortedBefore = static_cast<std::ptrdiff_t>(entries.size());
        for (TListedFile& file : files) {
            if (kind == FileKind::Bitmap && IsChangerFile(file.name))
                continue;
            entries.push_back(
                {std::move(file.name), kind, std::move(file.foundName), file.attributes});
        }
        // Each list comes sorted: merged in, it interleaves as the list box orders them,
        // an earlier list's name first among equal ones.
        std::inplace_merge(entries.begin(), entries.begin() + sortedBefore, entries.end(),
                           [](const FolderEntry& a, const FolderEntry& b) {
                               return CompareNamesNoCase(a.name, b.name) < 0;
                           });
    };
    add("*.JPG", FileKind::Jpeg);
    add("*.BMP", FileKind::Bitmap);
    add("*.NWP", FileKind::Nwp);
    return entries;
}

std::vector<FolderEntry> ListNwpFiles(std::string_view folder) {
    std::vector<TListedFile> files;
    ListFileEntries(JoinPath(folder, "*.NWP"), files);
    std::vector<FolderEntry> entries;
    entries.reserve(files.size());
    for (TListedFile& file : files)
        entries.push_back(
            {std::move(file.name), FileKind::Nwp, std::move(file.foundName), file.attributes});
    return entries;
}

std::string EntryPath(std::string_view folder, const FolderEntry& entry) {
    return JoinPath(folder, entry.foundName.empty() ? entry.name : entry.foundName);
}

} // namespace nimbrel::report
