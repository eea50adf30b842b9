#pragma once
// An NWP file expanded without writing a file: handed on in pieces (to count, compare or
// keep them), or kept in memory, whole or only its beginning.
#include "imaging/stream.h"
#include "platform/win_error.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace nimbrel::wallpaper {

struct NwpExpansion {
    enum Outcome {
        Expanded,      // every byte was handed on (or the taker had enough)
        NotCompressed, // no compressed-file signature
        Unreadable,    // the file could not be opened or read to its end
    };
    Outcome outcome = Expanded;
    platform::WinError cause = platform::ErrorSuccess; // why it was unreadable
    std::uint64_t fileSize = 0;                        // of the NWP file, once it was open
};

// Takes the expanded bytes in order; answering false ends the expansion there.
using ExpandedBytesTaker = std::function<bool(const std::uint8_t* bytes, std::size_t count)>;

// Expands the file at `path` (a Windows path) into `take`. A damaged code stream ends where
// the codec's end rule ends it.
NwpExpansion ExpandNwp(std::string_view path, const ExpandedBytesTaker& take);

// The same into `out`, stopping once `limit` bytes are out (0: no limit).
NwpExpansion ExpandNwp(std::string_view path, std::uint64_t limit, TMemoryStream& out);

} // namespace nimbrel::wallpaper
