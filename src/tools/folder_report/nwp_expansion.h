#pragma once
// An NWP file expanded into memory, whole or only its beginning: what a report needs to
// see the bitmap inside without writing a file.
#include "imaging/stream.h"

#include <cstdint>
#include <string_view>

namespace nimbrel::report {

enum class NwpExpansion {
    Expanded,      // `out` holds the expanded bytes (up to the limit)
    NotCompressed, // no compressed-file signature
    Unreadable,    // the file could not be opened or read to its end
};

// Expands the file at `path` (a Windows path) into `out`, stopping once `limit` bytes are
// out (0: no limit). A damaged code stream ends where the codec's end rule ends it.
// `fileSize`, when given, receives the size of the file.
NwpExpansion ExpandNwp(std::string_view path, std::uint64_t limit, TMemoryStream& out,
                       std::uint64_t* fileSize = nullptr);

} // namespace nimbrel::report
