#include "wallpaper_folder/folder_listing.h"

#include "platform/files.h"

#include "sysutil/list_files.h"

#include <algorithm>
#include <future>
#include <iterator>

namespace nimbrel::wallpaper {

bool IsChangerFile(std::string_view bitmapName) {
    return bitmapName == "NIMBREL.BMP" || bitmapName == "NEXTPIC.BMP";
}

bool IsRequestable(std::string_view name) {
    return name.find(".JPG") != std::string_view::npos;
}

std::string BitmapNameOf(std::string_view nwpName) {
    const std::size_t dot = nwpName.rfind('.');
    return std::string(dot == std::string_view::npos ? nwpName : nwpName.substr(0, dot)) + ".BMP";
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    path += '\\';
    path += name;
    return path;
}

std::string StripTrailingBackslash(std::string_view path) {
    if (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    return std::string(path);
}

// The folder list takes a drive alone as that drive's current folder, so a drive root
// keeps its backslash.
std::string FolderListPath(std::string_view folder) {
    const bool driveRoot = folder.size() == 3 && folder[1] == ':' && folder[2] == '\\';
    return driveRoot ? std::string(folder) : StripTrailingBackslash(folder);
}

namespace {

FolderEntry EntryOf(TListedFile&& file, FileKind kind) {
    return {std::move(file.name),     kind,         std::move(file.foundName), file.attributes,
            std::move(file.hostName), file.nameFits};
}

std::vector<FolderEntry> Search(std::string_view folder, const char* pattern, FileKind kind,
                                const EntryPass& eachEntry = {}) {
    std::vector<TListedFile> files;
    ListFileEntries(JoinPath(folder, pattern), files, eachEntry);
    std::vector<FolderEntry> entries;
    entries.reserve(files.size());
    for (TListedFile& file : files) {
        if (kind == FileKind::Bitmap && IsChangerFile(file.name))
            continue;
        entries.push_back(EntryOf(std::move(file), kind));
    }
    return entries;
}

// Each list comes sorted: merged in, it interleaves as the list box orders them, an earlier
// list's name first among equal ones.
void MergeIn(std::vector<FolderEntry>& entries, std::vector<FolderEntry> more) {
    const auto sortedBefore = static_cast<std::ptrdiff_t>(entries.size());
    entries.insert(entries.end(), std::make_move_iterator(more.begin()),
                   std::make_move_iterator(more.end()));
    std::inplace_merge(entries.begin(), entries.begin() + sortedBefore, entries.end(),
                       [](const FolderEntry& a, const FolderEntry& b) {
                           return CompareNamesNoCase(a.name, b.name) < 0;
                       });
}

} // namespace

std::vector<FolderEntry> ListFolder(std::string_view folder, unsigned threads) {
    std::future<std::vector<FolderEntry>> bitmaps;
    if (threads > 1)
        bitmaps = std::async(std::launch::async,
                             [folder] { return Search(folder, "*.BMP", FileKind::Bitmap); });
    std::vector<FolderEntry> entries = Search(folder, "*.JPG", FileKind::Jpeg);
    std::vector<FolderEntry> nwpFiles = Search(folder, "*.NWP", FileKind::Nwp);
    MergeIn(entries, bitmaps.valid() ? bitmaps.get() : Search(folder, "*.BMP", FileKind::Bitmap));
    MergeIn(entries, std::move(nwpFiles));
    return entries;
}

std::vector<FolderEntry> ListJpegFiles(std::string_view folder, const EntryPass& eachEntry) {
    return Search(folder, "*.JPG", FileKind::Jpeg, eachEntry);
}

std::vector<FolderEntry> ListBitmapFiles(std::string_view folder, const EntryPass& eachEntry) {
    return Search(folder, "*.BMP", FileKind::Bitmap, eachEntry);
}

std::vector<FolderEntry> MergedPictures(std::vector<FolderEntry> jpegs,
                                        std::vector<FolderEntry> bitmaps) {
    MergeIn(jpegs, std::move(bitmaps));
    return jpegs;
}

std::vector<FolderEntry> ListPictures(std::string_view folder, const EntryPass& eachEntry) {
    std::vector<FolderEntry> jpegs = ListJpegFiles(folder, eachEntry);
    return MergedPictures(std::move(jpegs), ListBitmapFiles(folder, eachEntry));
}

std::vector<FolderEntry> ListNwpFiles(std::string_view folder, const EntryPass& eachEntry) {
    return Search(folder, "*.NWP", FileKind::Nwp, eachEntry);
}

std::vector<std::string> NamesOf(std::vector<FolderEntry> entries) {
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (FolderEntry& entry : entries)
        names.push_back(std::move(entry.name));
    return names;
}

std::string EntryPath(std::string_view folder, const FolderEntry& entry) {
    return JoinPath(folder, entry.foundName.empty() ? entry.name : entry.foundName);
}

} // namespace nimbrel::wallpaper

namespace nimbrel::wallpaper {

std::uint64_t ListedSize(std::string_view folder, const FolderEntry& entry) {
    // A '?' that stands for a character the code page lacks matches that one character.
    platform::FileSearch search(EntryPath(folder, entry), platform::FindDetail::Full);
    for (platform::FindData found; search.Next(found);) {
        if (entry.hostName.empty() || found.hostName == entry.hostName)
            return found.size;
    }
    return 0;
}

} // namespace nimbrel::wallpaper
