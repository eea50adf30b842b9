#pragma once
// The files of a wallpaper folder as the dialog sees them: the pictures its wallpaper list
// offers (JPEG and bitmap files, without the changer's own bitmaps) and the NWP files its
// conversion takes, in the list's one case-insensitive order. The dialog, nimbrel-tool, the
// changer and the saver all list a folder through these, so they show the same pictures.
#include "sysutil/list_files.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::wallpaper {

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
    // The name as the host holds it (UTF-8); empty when unknown.
    std::string hostName;
    // False when code page 1250 cannot hold the name: the dialog lists it with a '?' for
    // each such character, and neither it nor anything else of the program can open it.
    bool nameFits = true;
};

// The changer's working files, left out of the wallpaper list.
bool IsChangerFile(std::string_view bitmapName);
// The dialog's request rule: only a line holding ".JPG" can be sent to the changer.
bool IsRequestable(std::string_view name);
// The bitmap an NWP file converts into: the text from the last dot on becomes ".BMP".
std::string BitmapNameOf(std::string_view nwpName);

// Folder path and name joined as the dialog joins them ("C:\PICS" + "\" + name), without
// looking at how the folder ends: a drive root gives "C:\\NAME", which the file system
// takes as the root's.
std::string JoinPath(std::string_view folder, std::string_view name);
// The path without its last character when that is a backslash (C:\ gives C:).
std::string StripTrailingBackslash(std::string_view path);
// A folder as the dialog's folder list takes it: a drive root (C:\) keeps its backslash,
// any other folder loses one trailing backslash.
std::string FolderListPath(std::string_view folder);

// The pictures of the wallpaper list, in its order: the JPEG files, then the bitmaps other
// than the changer's own, merged as the sorted list box orders them. `eachEntry` runs once
// for every directory entry the two searches find (the dialog passes its message pump's
// pass; the other programs need none).
std::vector<FolderEntry> ListPictures(std::string_view folder, const EntryPass& eachEntry = {});
// Its two searches, each sorted, and their merge (for a caller that reads the folder anew
// for each search, as the dialog does from its folder list).
std::vector<FolderEntry> ListJpegFiles(std::string_view folder, const EntryPass& eachEntry = {});
std::vector<FolderEntry> ListBitmapFiles(std::string_view folder, const EntryPass& eachEntry = {});
std::vector<FolderEntry> MergedPictures(std::vector<FolderEntry> jpegs,
                                        std::vector<FolderEntry> bitmaps);
// Every picture of the wallpaper list and every NWP file, sorted as the list sorts. With
// `threads` above one, a second search runs beside the others.
std::vector<FolderEntry> ListFolder(std::string_view folder, unsigned threads = 1);
// The NWP files alone, in the conversion's order.
std::vector<FolderEntry> ListNwpFiles(std::string_view folder, const EntryPass& eachEntry = {});
// The listed names alone, in their order.
std::vector<std::string> NamesOf(std::vector<FolderEntry> entries);
// The path that opens a listed file: its found name when known.
std::string EntryPath(std::string_view folder, const FolderEntry& entry);
// The size of a listed file, asked of the folder's search rather than of the file, so that
// a name the program cannot open is measured too; 0 when the file is gone.
std::uint64_t ListedSize(std::string_view folder, const FolderEntry& entry);

} // namespace nimbrel::wallpaper
