#include "changer/changer_files.h"

#include "imaging/bmp_format.h"
#include "imaging/stream.h"
#include "platform/files.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "wallpaper_folder/folder_listing.h"

#include <string>
#include <vector>

namespace nimbrel::changer {
namespace {

// A stream over a replacement: the file takes its place only when the caller commits. The
// bitmap's rows go out in large writes rather than one call per row.
class ReplacementStream : public TStream {
public:
    explicit ReplacementStream(platform::FileReplacement& file) : file_(file) {
        pending_.reserve(BufferSize);
    }
    std::size_t Read(void*, std::size_t) override { return 0; }
    std::size_t Write(const void* buffer, std::size_t count) override {
        if (error_)
            return 0;
        if (pending_.size() + count > BufferSize && !Flush())
            return 0;
        const auto* bytes = static_cast<const char*>(buffer);
        pending_.insert(pending_.end(), bytes, bytes + count);
        if (pending_.size() >= BufferSize && !Flush())
            return 0;
        position_ += count;
        return count;
    }
    std::uint64_t Position() const override { return position_; }
    std::uint64_t Size() const override { return position_; }
    // Writes what is held; false when the file refuses it (Error() says why).
    bool Flush() {
        std::size_t done = 0;
        if (!pending_.empty())
            error_ = file_.Write(pending_.data(), pending_.size(), done);
        pending_.clear();
        return !error_;
    }
    platform::WinError Error() const { return error_; }

private:
    static constexpr std::size_t BufferSize = 1 << 20;
    platform::FileReplacement& file_;
    std::vector<char> pending_;
    std::uint64_t position_ = 0;
    platform::WinError error_ = platform::ErrorSuccess;
};

std::string Cause(platform::WinError error) {
    switch (error) {
    case platform::ErrorDiskFull:
    case platform::ErrorHandleDiskFull:
        return "the disk is full";
    case platform::ErrorAccessDenied:
        return "access denied";
    case platform::ErrorFileNotFound:
    case platform::ErrorPathNotFound:
        return "the folder is not there";
    default:
        return "system error " + std::to_string(error);
    }
}

// One try at one place: the error, or success.
platform::WinError WriteBitmapFile(const TBitmap& bitmap, const std::string& path) {
    platform::FileReplacement file;
    if (const platform::WinError error = file.Begin(path))
        return error;
    ReplacementStream stream(file);
    try {
        WriteBmp(stream, bitmap);
        if (!stream.Flush())
            return stream.Error();
    } catch (const EStreamError&) {
        return stream.Error() ? stream.Error() : platform::ErrorWriteFault;
    }
    return file.Commit();
}

// A line "key=value" of the state file; the file is read as a profile file.
std::string Line(std::string_view key, std::string_view value) {
    return std::string(key) + "=" + std::string(value) + "\r\n";
}

std::string Section(std::string_view name) {
    std::string line = "[";
    line += name;
    line += "]\r\n";
    return line;
}

// A number of the state file; anything else (a hand-edited or damaged file) reads as 0.
long long NumberOrZero(const std::string& text) {
    try {
        return text.empty() ? 0 : std::stoll(text);
    } catch (const std::exception&) {
        return 0;
    }
}

constexpr std::string_view StateSection = "Changer";

} // namespace

std::string ChangerPlaces::StateFile() const {
    return wallpaper::JoinPath(dataFolder, "CHANGER.INI");
}
std::string ChangerPlaces::CacheFolder() const {
    return wallpaper::JoinPath(dataFolder, "CACHE");
}
std::string ChangerPlaces::LockFile() const {
    return wallpaper::JoinPath(dataFolder, "CHANGER.LCK");
}
std::string ChangerPlaces::LogFile() const {
    return wallpaper::JoinPath(dataFolder, "CHANGER.LOG");
}

ChangerPlaces ChangerPlaces::OfThisUser() {
    return ChangerPlaces{platform::ProgramDataFolder()};
}

std::string WriteWallpaperBitmap(const TBitmap& bitmap, std::string_view folder,
                                 std::string_view name, const ChangerPlaces& places) {
    const std::string inFolder = wallpaper::JoinPath(folder, name);
    const platform::WinError error = WriteBitmapFile(bitmap, inFolder);
    if (error == platform::ErrorSuccess)
        return inFolder;
    if (error == platform::ErrorDiskFull || error == platform::ErrorHandleDiskFull)
        throw EWallpaperNotWritten("cannot write " + inFolder + ": " + Cause(error));
    // A folder the changer may not write: its own cache folder takes the file.
    const std::string cache = places.CacheFolder();
    if (!platform::DirectoryExists(cache))
        (void)platform::CreateFolder(cache); // a failure shows in the write below
    const std::string inCache = wallpaper::JoinPath(cache, name);
    if (const platform::WinError cacheError = WriteBitmapFile(bitmap, inCache))
        throw EWallpaperNotWritten("cannot write " + inFolder + " (" + Cause(error) + ") nor " +
                                   inCache + " (" + Cause(cacheError) + ")");
    return inCache;
}

ChangerState ReadChangerState(const ChangerPlaces& places) {
    const std::string file = places.StateFile();
    auto get = [&](std::string_view key) {
        return platform::GetProfileString(file, StateSection, key, "");
    };
    ChangerState state;
    state.folder = get("Folder");
    state.current = get("Current");
    state.next = get("Next");
    state.nextPrepared = get("NextPrepared");
    state.nextChangeAt = NumberOrZero(get("NextChangeAt"));
    state.processId = NumberOrZero(get("Process"));
    return state;
}

bool WriteChangerState(const ChangerPlaces& places, const ChangerState& state) {
    const std::string text = Section(StateSection) + Line("Folder", state.folder) +
                             Line("Current", state.current) + Line("Next", state.next) +
                             Line("NextPrepared", state.nextPrepared) +
                             Line("NextChangeAt", std::to_string(state.nextChangeAt)) +
                             Line("Process", std::to_string(state.processId));
    platform::FileReplacement file;
    std::size_t done = 0;
    return file.Begin(places.StateFile()) == platform::ErrorSuccess &&
           file.Write(text.data(), text.size(), done) == platform::ErrorSuccess &&
           file.Commit() == platform::ErrorSuccess;
}

} // namespace nimbrel::changer
