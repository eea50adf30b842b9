#pragma once
// Questions about the names of a host folder that need all its entries: which entry a name
// folds to, and which names begin alike. A large folder is read once and its names held in
// memory, so that a thousand files written into a folder of ten thousand do not read it a
// thousand times. A held folder is kept true by the kernel's change notifications
// (inotify), applied before every answer: a name made, renamed or deleted by any process
// is seen as a fresh reading would see it. Folders on file systems that do not notify
// changes made elsewhere (network and FUSE file systems), small folders, and hosts without
// notifications are read for every question.
#include <optional>
#include <string>
#include <vector>

namespace nimbrel::platform::portable {

// The least entry name (in byte order) of `folder` that folds to `folded`; none when no
// entry does or the folder cannot be read.
std::optional<std::string> EntryFoldedTo(const std::string& folder, const std::u32string& folded);

// The entry names of `folder` that begin with `prefix`, in byte order.
std::vector<std::string> NamesBeginningWith(const std::string& folder, std::string_view prefix);

} // namespace nimbrel::platform::portable
