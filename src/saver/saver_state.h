#pragma once
// The one file the screen saver writes: which picture of which folder it showed last, so
// that the next start goes on after it.
#include <string>

namespace nimbrel::saver {

struct SaverState {
    std::string folder; // the wallpaper folder of the picture below
    std::string last;   // the picture shown last (bare upper-case name)
    friend bool operator==(const SaverState&, const SaverState&) = default;
};

// SAVER.INI in the product's data folder (Windows path).
std::string SaverStateFile();

// An empty state when the file is missing or damaged.
SaverState ReadSaverState(const std::string& file);
// False when the file cannot be written (the saver goes on; only its memory is lost).
bool WriteSaverState(const std::string& file, const SaverState& state);

} // namespace nimbrel::saver
