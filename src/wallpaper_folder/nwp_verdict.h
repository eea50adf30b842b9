#pragma once
// The one verdict on an NWP file, which the folder's report, the dry run of a conversion
// and the conversion itself all take: the whole file is expanded (counted, not kept) and
// the bitmap it gives is judged by the rule the conversion applies before it puts a bitmap
// in place (IsCompleteBitmap).
#include "platform/win_error.h"

#include <cstdint>
#include <string_view>

namespace nimbrel::wallpaper {

enum class NwpState {
    Convertible,       // expands to a complete bitmap the program shows
    Unreadable,        // cannot be opened or read (see the cause)
    Empty,             // zero bytes
    NotCompressed,     // no compressed-file signature
    NotCompleteBitmap, // expands to something that is not a complete, readable bitmap
};

struct NwpVerdict {
    NwpState state = NwpState::Convertible;
    platform::WinError cause = platform::ErrorSuccess; // why it is unreadable
    std::uint64_t fileSize = 0;                        // of the NWP file
    std::uint64_t expandedSize = 0;                    // of the bitmap it expands to
    int width = 0; // of that bitmap, when its headers could be read
    int height = 0;
    // With a file to compare: whether it holds exactly the bytes of the expansion.
    bool sameAsCompared = false;
};

// Judges the NWP file at `nwpPath` (a Windows path). With `comparePath`, the file there is
// read beside the expansion and compared with it, byte for byte, in the same pass.
NwpVerdict JudgeNwpFile(std::string_view nwpPath, std::string_view comparePath = {});

} // namespace nimbrel::wallpaper
