// Wildcard search over a host folder, in Windows' terms: every entry whose name matches,
// directories included, with "." and ".." in folders below a drive root.
#include "platform/files.h"

#include "platform/codepage1250.h"
#include "platform/portable/case_fold.h"
#include "platform/portable/emulated_environment.h"
#include "platform/portable/wildcard.h"

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace nimbrel::platform {

namespace {

struct Pattern {
    std::string folder; // Windows path of the folder, possibly relative or empty
    std::string name;   // the wildcard name
};

Pattern SplitPattern(std::string_view pattern) {
    const std::size_t separator = pattern.find_last_of("\\/");
    if (separator != std::string_view::npos)
        return {std::string(pattern.substr(0, separator + 1)),
                std::string(pattern.substr(separator + 1))};
    if (pattern.size() >= 2 && pattern[1] == ':')
        return {std::string(pattern.substr(0, 2)), std::string(pattern.substr(2))};
    return {".", std::string(pattern)};
}

// What the name and the kind of entry tell.
std::uint32_t AttributesOf(bool folder, std::string_view hostName) {
    std::uint32_t attributes = folder ? FileAttributeDirectory : FileAttributeArchive;
    if (hostName.size() > 1 && hostName.front() == '.' && hostName != "..")
        attributes |= FileAttributeHidden;
    return attributes;
}

std::uint32_t AttributesOf(const struct stat& info, std::string_view hostName) {
    std::uint32_t attributes = AttributesOf(S_ISDIR(info.st_mode), hostName);
    if ((info.st_mode & S_IWUSR) == 0)
        attributes |= FileAttributeReadOnly;
    return attributes;
}

} // namespace

class FileSearch::Impl {
public:
    std::vector<FindData> entries;
    std::size_t next = 0;
};

FileSearch::FileSearch(std::string_view pattern, FindDetail detail)
    : impl_(std::make_unique<Impl>()) {
    const Pattern parts = SplitPattern(pattern);
    if (parts.name.empty())
        return;
    const auto folder = portable::Absolute(parts.folder);
    if (!folder)
        return;
    const auto resolved = portable::Resolve(*folder);
    if (!resolved)
        return;
    DIR* dir = ::opendir(resolved->host.c_str());
    if (!dir)
        return;
    const std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, ::closedir);
    const int folderFd = ::dirfd(dir);
    const std::u32string wanted = portable::FoldedFromCp1250(parts.name);
    const bool belowRoot = !folder->components.empty();
    std::vector<std::pair<std::u32string, FindData>> found;
    std::u32string folded; // one buffer for every name: most do not match
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view hostName = entry->d_name;
        const bool dotEntry = hostName == "." || hostName == "..";
        if (dotEntry && !belowRoot)
            continue;
        portable::FoldUtf8Into(hostName, folded);
        if (!portable::MatchesWildcard(wanted, folded))
            continue;
        FindData data;
        data.name = Cp1250FromUtf8(hostName);
        data.hostName = hostName;
        data.nameFits = Cp1250FromUtf8Exactly(hostName).has_value();
        const bool typeKnown = entry->d_type == DT_REG || entry->d_type == DT_DIR;
        if (detail == FindDetail::NameOnly && typeKnown) {
            data.attributes = AttributesOf(entry->d_type == DT_DIR, hostName);
        } else {
            // Relative to the open folder: no walk of the whole path for each entry.
            struct stat info {};
            if (::fstatat(folderFd, entry->d_name, &info, 0) != 0 &&
                ::fstatat(folderFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue; // vanished while listing
            data.attributes = AttributesOf(info, hostName);
            data.size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::uint64_t>(info.st_size);
        }
        found.emplace_back(folded, std::move(data));
    }
    // In name order, as the home file system returns them.
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    impl_->entries.reserve(found.size());
    for (auto& [key, data] : found)
        impl_->entries.push_back(std::move(data));
}

FileSearch::~FileSearch() = default;

bool FileSearch::Next(FindData& entry) {
    if (impl_->next >= impl_->entries.size())
        return false;
    entry = impl_->entries[impl_->next++];
    return true;
}

} // namespace nimbrel::platform
