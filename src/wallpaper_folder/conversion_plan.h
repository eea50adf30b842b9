#pragma once
// What converting one NWP file of a folder will do, decided before anything is written,
// and the doing of it. A dry run shows the plan; the real run makes the same plan for the
// file at the moment it comes to it and carries it out, so the two never disagree.
//
// Nothing is replaced unasked: a bitmap of the target's name that holds another picture is
// left alone unless replacing was asked for. A bitmap that already holds exactly the bytes
// the NWP file expands to is the same picture: the conversion is already done, and only
// the NWP file is left to delete.
#include "platform/win_error.h"
#include "wallpaper_folder/folder_listing.h"
#include "wallpaper_folder/nwp_verdict.h"

#include <cstdint>
#include <string>

namespace nimbrel::wallpaper {

struct ConversionOptions {
    bool keep = false;    // keep the NWP files
    bool replace = false; // replace a bitmap that holds another picture
};

enum class ConversionAction {
    Convert,      // write the bitmap (nothing of its name is there)
    Replace,      // write the bitmap over another picture of its name (asked for)
    AlreadyDone,  // the bitmap there is the same picture: only the NWP file goes
    KeepExisting, // a bitmap of another picture is there and replacing was not asked for
    Skip,         // nothing to do (see the problem: a folder)
    Fail,         // cannot be done (see the problem)
};

enum class ConversionProblem {
    None,
    NwpIsFolder,       // the NWP name is a folder's
    NameNotHeld,       // code page 1250 cannot hold the NWP file's name
    NwpUnreadable,     // the NWP file cannot be read (see the cause)
    NwpEmpty,          // zero bytes
    NotCompressed,     // no compressed-file signature
    NotCompleteBitmap, // expands to no complete bitmap
    TargetIsFolder,    // the bitmap's name is a folder's
    TargetNotPlain,    // ... a device, pipe or socket
    TargetReadOnly,    // the bitmap there is read-only
    TargetHardLinks,   // the bitmap there has other names (hard links)
    TargetNotPermitted,
    FolderNotWritable,
    TargetOther, // the bitmap's path fails otherwise (see the cause)
    WriteFailed, // the real run only: the bitmap could not be written (see the cause)
};

// A bitmap found where the conversion would write.
struct ExistingBitmap {
    bool exists = false;
    std::uint64_t size = 0;
    int width = 0; // 0 x 0 when its headers cannot be read
    int height = 0;
};

// Why the NWP file would stay after the conversion, though it should go.
enum class NwpDeletion { Deletes, Keeps, ReadOnly, FolderNotWritable, Failed };

struct ConversionStep {
    std::string nwpName;    // code page 1250, as listed
    std::string bitmapName; // the dialog's bitmap name for it
    ConversionAction action = ConversionAction::Convert;
    ConversionProblem problem = ConversionProblem::None;
    platform::WinError cause = platform::ErrorSuccess;
    NwpVerdict nwp;
    ExistingBitmap existing;
    NwpDeletion deletion = NwpDeletion::Deletes;
};

// The plan for one listed NWP file of `folder`. Reads, never writes.
ConversionStep PlanConversion(std::string_view folder, const FolderEntry& entry,
                              const ConversionOptions& options);

// Makes the plan for the file now and carries it out: the bitmap is put in place only when
// whole (an existing one stays as it was on any failure), then the NWP file is deleted
// unless it is kept. The step tells what was done, as the plan would have told it, with a
// write failure's cause and the deletion's outcome. Where no bitmap is in the way, the NWP
// file is judged while it is written (the same rule, one expansion instead of two), and a
// failure is told in the judge's words.
ConversionStep Convert(std::string_view folder, const FolderEntry& entry,
                       const ConversionOptions& options);

} // namespace nimbrel::wallpaper
