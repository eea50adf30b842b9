#pragma once
// The files the changer writes, and nothing else: NIMBREL.BMP (the wallpaper shown) and
// NEXTPIC.BMP (the next one, made ahead) in the wallpaper folder, or in its cache folder
// when the wallpaper folder cannot take them; and its small state file. Each is replaced
// only once its new content is complete.
#include "imaging/bitmap.h"
#include "platform/win_error.h"
#include "sysutil/exception.h"

#include <chrono>
#include <string>
#include <string_view>

namespace nimbrel::changer {

inline constexpr std::string_view ShownBitmapName = "NIMBREL.BMP";
inline constexpr std::string_view NextBitmapName = "NEXTPIC.BMP";

// Where the changer keeps its own files: the product's data folder (Windows path).
struct ChangerPlaces {
    std::string dataFolder;
    std::string StateFile() const;   // the last picture shown, the next, and when
    std::string CacheFolder() const; // the bitmaps when the wallpaper folder is read-only
    std::string LockFile() const;    // one changer per session
    std::string LogFile() const;     // the messages where there is no terminal (Windows)
    static ChangerPlaces OfThisUser();
};

// A wallpaper bitmap that no place would take.
class EWallpaperNotWritten : public Exception {
public:
    using Exception::Exception;
};

// Writes the bitmap as `name` into `folder`, or, when the folder refuses the file (read-only,
// not there), into the cache folder. Answers the path written; raises EWallpaperNotWritten
// with the cause when neither place takes it (a full disk leaves the previous file as it was).
std::string WriteWallpaperBitmap(const TBitmap& bitmap, std::string_view folder,
                                 std::string_view name, const ChangerPlaces& places);

// What the state file keeps across starts.
struct ChangerState {
    std::string folder;         // the wallpaper folder of the pictures below
    std::string current;        // the picture shown last (bare upper-case name)
    std::string next;           // the one the next change shows, when known
    std::string nextPrepared;   // the picture NEXTPIC.BMP holds, rendered ahead
    long long nextChangeAt = 0; // seconds since 1970 (UTC), 0 when none is planned
    long long processId = 0;    // the changer that wrote it
};
ChangerState ReadChangerState(const ChangerPlaces& places);
// False when the file cannot be written (the changer goes on; only its memory is lost).
bool WriteChangerState(const ChangerPlaces& places, const ChangerState& state);

} // namespace nimbrel::changer
