#include "platform/portable/folder_index.h"

#include "platform/portable/case_fold.h"
#include "platform/portable/host_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unordered_map>

#ifdef __linux__
#include <sys/inotify.h>
#endif

namespace nimbrel::platform::portable {
namespace {

// Below this many entries a folder is read for every question: reading it costs less than
// holding it.
constexpr std::size_t HoldFrom = 256;
// The most folders held at once; the one asked least recently goes first.
constexpr std::size_t MostHeld = 8;

// A folder's names, in byte order, and by their folded form.
class FolderNames {
public:
    void Add(const std::string& name) {
        if (names_.insert(name).second)
            byFolded_[FoldedFromUtf8(name)].insert(name);
    }
    void Remove(const std::string& name) {
        if (names_.erase(name) == 0)
            return;
        const auto same = byFolded_.find(FoldedFromUtf8(name));
        if (same == byFolded_.end())
            return;
        same->second.erase(name);
        if (same->second.empty())
            byFolded_.erase(same);
    }
    std::size_t Size() const { return names_.size(); }

    std::optional<std::string> FoldedTo(const std::u32string& folded) const {
        const auto same = byFolded_.find(folded);
        if (same == byFolded_.end())
            return std::nullopt;
        return *same->second.begin();
    }
    std::vector<std::string> BeginningWith(std::string_view prefix) const {
        std::vector<std::string> found;
        for (auto at = names_.lower_bound(std::string(prefix));
             at != names_.end() && std::string_view(*at).substr(0, prefix.size()) == prefix; ++at)
            found.push_back(*at);
        return found;
    }

private:
    std::set<std::string> names_;
    std::unordered_map<std::u32string, std::set<std::string>> byFolded_;
};

struct FolderIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FolderIdentity&) const = default;
};

std::optional<FolderIdentity> IdentityOf(const struct stat& info) {
    if (!S_ISDIR(info.st_mode))
        return std::nullopt;
    return FolderIdentity{info.st_dev, info.st_ino};
}

using EntryVisitor = std::function<void(std::string_view name)>;

// Every entry of an open folder but "." and ".."; answers what the folder is.
std::optional<FolderIdentity> ReadEntries(DIR* directory, const EntryVisitor& visit) {
    struct stat info {};
    if (::fstat(::dirfd(directory), &info) != 0)
        return std::nullopt;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            visit(name);
    }
    return IdentityOf(info);
}

struct DirectoryCloser {
    void operator()(DIR* directory) const { ::closedir(directory); }
};
using Directory = std::unique_ptr<DIR, DirectoryCloser>;

// File systems whose every change, made by any machine or process, reaches inotify.
bool ChangesAreNotified(const std::string& folder) {
    struct statfs info {};
    if (::statfs(folder.c_str(), &info) != 0)
        return false;
    switch (static_cast<std::uint32_t>(info.f_type)) {
    case 0xEF53:     // ext2, ext3, ext4
    case 0x58465342: // xfs
    case 0x9123683E: // btrfs
    case 0x01021994: // tmpfs
    case 0xF2F52010: // f2fs
    case 0x2FC12FC1: // zfs
    case 0x4D44:     // FAT
    case 0x2011BAB0: // exFAT
    case 0x7366746E: // NTFS
    case 0x794C7630: // overlayfs
        return true;
    default:
        return false;
    }
}

class FolderIndex {
public:
    ~FolderIndex() {
        if (notifications_ >= 0)
            ::close(notifications_);
    }

    // Answers `ask` from the folder's names: held ones, or a fresh reading (held from then
    // on when the folder is large). `scan` answers it by reading alone where changes are not
    // notified. `none`: the folder cannot be read.
    template <typename Answer>
    Answer Ask(const std::string& folder, const std::function<Answer(const FolderNames&)>& ask,
               const std::function<Answer()>& scan, Answer none) {
        std::lock_guard lock(mutex_);
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return none;
        const FolderIdentity identity = *IdentityOf(info);
        ApplyNotifications();
        if (HeldFolder* held = Find(identity)) {
            held->lastAsked = ++asked_;
            return ask(held->names);
        }
        if (!OpenNotifications() || !ChangesAreNotified(folder))
            return scan();
        return ReadAndMaybeHold(folder, identity, ask, none);
    }

private:
    struct HeldFolder {
        FolderIdentity identity;
        int watch = -1;
        FolderNames names;
        std::uint64_t lastAsked = 0;
    };

    template <typename Answer>
    Answer ReadAndMaybeHold(const std::string& folder, const FolderIdentity& identity,
                            const std::function<Answer(const FolderNames&)>& ask, Answer none) {
        // The watch comes first: what changes while the folder is read is told after.
        const int watch = Watch(folder);
        const Directory directory(::opendir(folder.c_str()));
        if (!directory) {
            Unwatch(watch);
            return none;
        }
        FolderNames names;
        const auto read = ReadEntries(
            directory.get(), [&names](std::string_view name) { names.Add(std::string(name)); });
        Answer answer = ask(names);
        if (watch >= 0 && read == identity && names.Size() >= HoldFrom && !Watched(watch))
            Hold(HeldFolder{identity, watch, std::move(names), ++asked_});
        else if (!Watched(watch))
            Unwatch(watch);
        return answer;
    }

    bool OpenNotifications() {
#ifdef __linux__
        if (notifications_ == NotTried)
            notifications_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
#endif
        return notifications_ >= 0;
    }

    int Watch(const std::string& folder) {
#ifdef __linux__
        return ::inotify_add_watch(notifications_, folder.c_str(),
                                   IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                       IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR);
#else
        (void)folder;
        return -1;
#endif
    }

    void Unwatch(int watch) {
#ifdef __linux__
        if (watch >= 0)
            (void)::inotify_rm_watch(notifications_, watch);
#else
        (void)watch;
#endif
    }

    // A watch already held (the kernel gives a folder's watch again for its other names).
    bool Watched(int watch) const {
        return std::any_of(held_.begin(), held_.end(),
                           [watch](const HeldFolder& held) { return held.watch == watch; });
    }

    HeldFolder* Find(const FolderIdentity& identity) {
        for (HeldFolder& held : held_)
            if (held.identity == identity)
                return &held;
        return nullptr;
    }

    void Hold(HeldFolder folder) {
        if (held_.size() >= MostHeld) {
            const auto oldest = std::min_element(
                held_.begin(), held_.end(),
                [](const HeldFolder& a, const HeldFolder& b) { return a.lastAsked < b.lastAsked; });
            Unwatch(oldest->watch);
            held_.erase(oldest);
        }
        held_.push_back(std::move(folder));
    }

    void Drop(int watch, bool unwatch) {
        const auto held = std::find_if(held_.begin(), held_.end(),
                                       [watch](const HeldFolder& f) { return f.watch == watch; });
        if (held == held_.end())
            return;
        if (unwatch)
            Unwatch(watch);
        held_.erase(held);
    }

    void DropAll() {
        for (const HeldFolder& held : held_)
            Unwatch(held.watch);
        held_.clear();
    }

    // Brings every held folder up to date with the changes told so far.
    void ApplyNotifications() {
#ifdef __linux__
        if (notifications_ < 0)
            return;
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t size = ::read(notifications_, buffer, sizeof buffer);
            if (size <= 0) {
                if (size < 0 && errno == EINTR)
                    continue;
                // EAGAIN: all told. Anything else: the changes cannot be known any more.
                if (size == 0 || errno != EAGAIN)
                    DropAll();
                return;
            }
            for (ssize_t at = 0; at < size;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                Apply(*event);
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
#endif
    }

#ifdef __linux__
    void Apply(const inotify_event& event) {
        if (event.mask & IN_Q_OVERFLOW) {
            DropAll(); // changes were lost: read the folders again
            return;
        }
        if (event.mask & IN_IGNORED) {
            Drop(event.wd, false);
            return;
        }
        if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_UNMOUNT)) {
            Drop(event.wd, true);
            return;
        }
        const auto held = std::find_if(held_.begin(), held_.end(), [&event](const HeldFolder& f) {
            return f.watch == event.wd;
        });
        if (held == held_.end() || event.len == 0)
            return;
        const std::string name(event.name); // the kernel pads it with zero bytes
        if (event.mask & (IN_CREATE | IN_MOVED_TO))
            held->names.Add(name);
        else if (event.mask & (IN_DELETE | IN_MOVED_FROM))
            held->names.Remove(name);
    }
#endif

    static constexpr int NotTried = -2;
    std::mutex mutex_;
    int notifications_ = NotTried;
    std::vector<HeldFolder> held_;
    std::uint64_t asked_ = 0;
};

FolderIndex& TheIndex() {
    static FolderIndex index;
    return index;
}

} // namespace

std::optional<std::string> EntryFoldedTo(const std::string& folder, const std::u32string& folded) {
    using Answer = std::optional<std::string>;
    return TheIndex().Ask<Answer>(
        folder, [&folded](const FolderNames& names) { return names.FoldedTo(folded); },
        [&folder, &folded]() -> Answer {
            const Directory directory(::opendir(folder.c_str()));
            if (!directory)
                return std::nullopt;
            Answer found;
            std::u32string entry; // one buffer for every name
            ReadEntries(directory.get(), [&](std::string_view name) {
                if (found && name >= *found)
                    return;
                FoldUtf8Into(name, entry);
                if (entry == folded)
                    found = std::string(name);
            });
            return found;
        },
        std::nullopt);
}

std::vector<std::string> NamesBeginningWith(const std::string& folder, std::string_view prefix) {
    using Answer = std::vector<std::string>;
    return TheIndex().Ask<Answer>(
        folder, [prefix](const FolderNames& names) { return names.BeginningWith(prefix); },
        [&folder, prefix]() -> Answer {
            const Directory directory(::opendir(folder.c_str()));
            Answer found;
            if (!directory)
                return found;
            ReadEntries(directory.get(), [&](std::string_view name) {
                if (name.substr(0, prefix.size()) == prefix)
                    found.emplace_back(name);
            });
            std::sort(found.begin(), found.end());
            return found;
        },
        {});
}

} // namespace nimbrel::platform::portable
