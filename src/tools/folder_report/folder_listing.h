#pragma once
// The files of a wallpaper folder as the dialog sees them: the pictures its wallpaper list
// offers (JPEG and bitmap files, without the changer's own bitmaps) and the NWP files its
// conversion takes, in the list's one case-insensitive order.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::report {

enum class FileKind { Jpeg, Bitmap, Nwp };

struct FolderEntry {
    std::string name; // upper-case bare name, code page 1250, as the lister gives it
    FileKind kind = FileKind::Jpeg;
    // The name as the file system holds it, which opens the file without a case-blind
    // search of the folder; empty when unknown (the listed name is used then).
    std::string foundName;
    // A folder and a hidden name only: the listing asks no file for its status (its size
    // comes from the file once it is open).
    std::uint32_t attributes = 0;
};

// The changer's working files, left out of the wallpaper list.
bool IsChangerFile(std::string_view bitmapName);
// The dialog's request rule: only a line holding ".JPG" can be sent to the changer.
bool IsRequestable(std::string_view name);

// Folder path and name joined as the dialog joins them ("C:\PICS" + "\" + name).
std::string JoinPath(std::string_view folder, std::string_view name);
// A folder as the dialog's folder list holds it: a drive root keeps its backslash, any
// other folder loses a trailing one.
std::string FolderListPath(std::string_view folder);

// Every picture of the wallpaper list and every NWP file, sorted as the list sorts. With
// `threads` above one, a second search runs beside the others.
std::vector<FolderEntry> ListFolder(std::string_view folder, unsigned threads = 1);
// The NWP files alone, in the conversion's order.
std::vector<FolderEntry> ListNwpFiles(std::string_view folder);
// The path that opens a listed file: its found name when known.
std::string EntryPath(std::string_view folder, const FolderEntry& entry);

} // namespace nimbrel::report
