#pragma once
// What the screen saver takes from the settings store, read with the dialog's defaults and
// bounds: the pictures, how they are sized, how long each shows, and the protection.
#include "render/picture_sizing.h"

#include <optional>
#include <string>

namespace nimbrel::saver {

// The access key and the password that end a protected screen saver.
struct AccessRule {
    int key = 0;          // 'A'..'Z'
    int shift = 0;        // 1 Shift, 2 Ctrl, 3 Alt
    int times = 0;        // wrong presses before the password is asked for
    std::string password; // compared exactly as stored
    friend bool operator==(const AccessRule&, const AccessRule&) = default;
};

struct SaverSettings {
    std::string folder; // Windows path, as the dialog's folder list holds it
    render::WallpaperSizing sizing;
    int intervalSeconds = 30;
    std::optional<AccessRule> protection; // none: any key, click or move ends the saver
    friend bool operator==(const SaverSettings&, const SaverSettings&) = default;
};

// The settings as the store holds them now. A value that cannot be read takes the dialog's
// default; a store that cannot be opened gives every default (the saver still shows the
// program folder's pictures, unprotected only when the store says nothing of a protection).
SaverSettings ReadSaverSettings();

// The protection the four values describe, or none when any of them is out of its bounds.
std::optional<AccessRule> ProtectionOf(int key, int shift, int times, const std::string& password);

} // namespace nimbrel::saver
