#include "controls/folder_list.h"

#include "platform/codepage1250.h"
#include "platform/files.h"
#include "sysutil/exception.h"
#include "sysutil/text_routines.h"

#include <algorithm>

namespace nimbrel {
namespace {

// The lower-case letter of a Latin character; enough for the letters code page 1250 holds.
char32_t FoldedLetter(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 32;
    const bool evenUpper = (c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177);
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if ((evenUpper && c % 2 == 0) || (oddUpper && c % 2 == 1))
        return c + 1;
    return c;
}

// File names compared letter case aside, character by character.
int CompareFileNames(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const char32_t x =
            FoldedLetter(platform::UnicodeFromCp1250(static_cast<unsigned char>(a[i])));
        const char32_t y =
            FoldedLetter(platform::UnicodeFromCp1250(static_cast<unsigned char>(b[i])));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// "C:\PICS\2024" as "C:\" and its folders "PICS", "2024".
struct PathParts {
    std::string root;
    std::vector<std::string> folders;
};

PathParts SplitPath(const std::string& path) {
    PathParts parts;
    const std::size_t rootLength = path.size() >= 2 && path[1] == ':' ? 3 : 0;
    parts.root = path.substr(0, std::min(rootLength, path.size()));
    std::size_t start = parts.root.size();
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            parts.folders.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// The subfolders' names, sorted without regard to case. The search asks for names alone:
// it still tells folders from files, without a status query for each of a folder's files.
std::vector<std::string> Subfolders(const std::string& folder) {
    std::vector<std::string> names;
    platform::FileSearch search(ChildPath(folder, "*"), platform::FindDetail::NameOnly);
    platform::FindData entry;
    while (search.Next(entry)) {
        if ((entry.attributes & platform::FileAttributeDirectory) != 0 && entry.name != "." &&
            entry.name != "..")
            names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return CompareFileNames(a, b) < 0;
    });
    return names;
}

} // namespace

TFolderList::TFolderList(std::string name) : TControl(std::move(name)) {
    directory_ = platform::CurrentDirectory();
    Fill();
}

void TFolderList::SetDirectory(std::string_view path) {
    if (path.empty() || CompareFileNames(path, directory_) == 0)
        return;
    // A drive alone stands for that drive's current folder.
    const std::string target = platform::FullPathName(path);
    if (target.empty() || !platform::DirectoryExists(target) ||
        platform::SetCurrentDirectory(target) != platform::ErrorSuccess)
        throw Exception("Cannot enter the folder " + std::string(path) + ".");
    const std::string entered = platform::CurrentDirectory();
    if (CompareFileNames(entered, directory_) == 0)
        return;
    directory_ = entered;
    Fill();
    if (OnChange)
        OnChange();
}

void TFolderList::SetItemHeight(int height) {
    itemHeight_ = height;
    if (auto* peer = PeerAs<TFolderListPeer>())
        peer->ShowItemHeight(itemHeight_);
}

void TFolderList::UserOpen(int index) {
    if (index >= 0 && index < static_cast<int>(lines_.size()))
        SetDirectory(std::string(lines_[static_cast<std::size_t>(index)].path));
}

void TFolderList::Fill() {
    lines_.clear();
    const PathParts parts = SplitPath(directory_);
    std::string path = parts.root;
    lines_.push_back({parts.root, path, 0, true});
    int level = 0;
    for (const std::string& folder : parts.folders) {
        path = ChildPath(path, folder);
        lines_.push_back({folder, path, ++level, true});
    }
    currentLine_ = static_cast<int>(lines_.size()) - 1;
    for (const std::string& name : Subfolders(directory_))
        lines_.push_back({name, ChildPath(directory_, name), level + 1, false});
    if (auto* peer = PeerAs<TFolderListPeer>())
        peer->ShowLines(lines_, currentLine_);
}

void TFolderList::ShowState() {
    auto* peer = PeerAs<TFolderListPeer>();
    peer->ShowItemHeight(itemHeight_);
    peer->ShowLines(lines_, currentLine_);
}

} // namespace nimbrel
