#include "saver/saver_state.h"

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "wallpaper_folder/folder_listing.h"

namespace nimbrel::saver {
namespace {

constexpr std::string_view Section = "Saver";

} // namespace

std::string SaverStateFile() {
    return wallpaper::JoinPath(platform::ProgramDataFolder(), "SAVER.INI");
}

SaverState ReadSaverState(const std::string& file) {
    return {platform::GetProfileString(file, Section, "Folder", ""),
            platform::GetProfileString(file, Section, "Last", "")};
}

bool WriteSaverState(const std::string& file, const SaverState& state) {
    std::string text = "[";
    text += Section;
    text += "]\r\nFolder=";
    text += state.folder;
    text += "\r\nLast=";
    text += state.last;
    text += "\r\n";
    platform::FileReplacement replacement;
    std::size_t done = 0;
    return replacement.Begin(file) == platform::ErrorSuccess &&
           replacement.Write(text.data(), text.size(), done) == platform::ErrorSuccess &&
           replacement.Commit() == platform::ErrorSuccess;
}

} // namespace nimbrel::saver
