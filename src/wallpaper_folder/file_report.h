#pragma once
// What a folder report says about one file: its facts and a verdict a person and a script
// can act on.
#include "wallpaper_folder/folder_listing.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace nimbrel::wallpaper {

enum class Verdict {
    Ready,               // the changer can show it and the dialog can request it
    ReadyNotRequestable, // shown, but the dialog's request rule leaves it out (no ".JPG")
    Convertible,         // a legacy NWP file that expands into a bitmap
    Damaged,
    NameNotHeld, // code page 1250 cannot hold the name: the dialog cannot open the file
};

enum class Damage {
    None,
    Unreadable,        // cannot be opened or read
    Folder,            // a folder whose name looks like a picture's
    Empty,             // zero bytes
    NotJpeg,           // no JPEG start marker
    UnsupportedColour, // CMYK, YCCK or another colour space the picture does not show
    OverBudget,        // more pixels than a picture may have
    Truncated,         // the data ends before the picture does
    CorruptJpeg,       // the JPEG library refused the data
    BadBitmapHeader,   // the bitmap headers are wrong
    UnsupportedBitmap, // a kind of bitmap the Windows loader does not show either
    NotCompressed,     // an NWP file without the compressed-file signature
    NotCompleteBitmap, // an NWP file whose expansion is not a complete bitmap
};

struct FileReport {
    std::string name;             // code page 1250, as listed
    std::string hostPath;         // the file's path on the host, UTF-8; empty when unknown
    bool hostNameDiffers = false; // the host's name is not the listed name
    std::string hostName;         // that name, UTF-8
    FileKind kind = FileKind::Jpeg;
    std::uint64_t size = 0;
    int width = 0; // 0 x 0 when the header could not be read
    int height = 0;
    Verdict verdict = Verdict::Ready;
    Damage damage = Damage::None;
    std::string detail; // the library's or the container's own message, when there is one
};

// "jpeg", "bitmap", "nwp".
std::string_view KindWord(FileKind kind);
// "ready", "ready, not requestable", "legacy, convertible", "damaged",
// "the dialog cannot open this name: rename it".
std::string_view VerdictWord(Verdict verdict);
// The reason in words: "truncated", "not a JPEG", ...; empty for Damage::None.
std::string_view DamageWords(Damage damage);
// The verdict with its reason: "damaged: truncated".
std::string VerdictText(const FileReport& report);

} // namespace nimbrel::wallpaper
