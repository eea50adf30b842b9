#pragma once
// Every name, default and range of the settings store in one place: the settings key
// that the wallpaper changer and the screen saver read, the autostart entry and the
// SYSTEM.INI screen-saver entry. The dialog, the requests and the tools use only these.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace nimbrel::store {

// The settings key, under HKEY_CURRENT_USER.
inline constexpr std::string_view SettingsKey = "Software\\Vexmoor\\Nimbrel";

// Values of the settings key. "string" values are REG_SZ, "integer" values REG_DWORD.
inline constexpr std::string_view StretchWallpaper = "StretchWallpaper";                 // string
inline constexpr std::string_view StretchWallpaperWidth = "StretchWallpaperWidth";       // integer
inline constexpr std::string_view StretchWallpaperHeight = "StretchWallpaperHeight";     // integer
inline constexpr std::string_view StretchWallpaperPosition = "StretchWallpaperPosition"; // integer
inline constexpr std::string_view ExitOnChange = "ExitOnChange";                         // string
inline constexpr std::string_view StretchScreenSaver = "StretchScreenSaver";             // string
inline constexpr std::string_view DisableScreenSaver = "DisableScreenSaver";             // string
inline constexpr std::string_view Interval = "Interval";                                 // integer
inline constexpr std::string_view ScreenSaverInterval = "ScreenSaverInterval";           // integer
inline constexpr std::string_view WallpaperFolder = "WallpaperFolder";                   // string
inline constexpr std::string_view AccessKey = "AccessKey";                               // integer
inline constexpr std::string_view AccessShift = "AccessShift";                           // integer
inline constexpr std::string_view AccessTimes = "AccessTimes";                           // integer
inline constexpr std::string_view AccessPassword = "AccessPassword";                     // string
// One-shot requests to the wallpaper changer: written, never read back by this program.
inline constexpr std::string_view ForceReload = "ForceReload"; // string, always "Yes"
inline constexpr std::string_view SetAsNext = "SetAsNext";     // string, a bare file name
inline constexpr std::string_view ChangeTo = "ChangeTo";       // string, a bare file name

// Texts stored in the string values; compared exactly and case-sensitively.
inline constexpr std::string_view Yes = "Yes";
inline constexpr std::string_view No = "No";
inline constexpr std::string_view FitToScreen = "FitToScreen";
inline constexpr std::string_view Original = "Original";
inline constexpr std::string_view Resize = "Resize";

// "StretchWallpaperPosition" when no position applies (Fit to screen).
inline constexpr std::int32_t NoPosition = -1;

// "Interval": minutes between two wallpaper changes.
inline constexpr std::int32_t DefaultInterval = 60;
inline constexpr std::int32_t MinInterval = 1;
inline constexpr std::int32_t MaxInterval = 300;
// "ScreenSaverInterval": seconds between two pictures of the screen saver.
inline constexpr std::int32_t DefaultScreenSaverInterval = 30;
inline constexpr std::int32_t MinScreenSaverInterval = 10;
inline constexpr std::int32_t MaxScreenSaverInterval = 300;

// "AccessKey" 0 means "not protected"; otherwise the character code of "A" to "Z".
inline constexpr std::int32_t NoAccessKey = 0;
inline constexpr std::int32_t FirstAccessKey = 'A'; // 65
inline constexpr std::int32_t LastAccessKey = 'Z';  // 90
// "AccessShift": the modifier held with the access key.
inline constexpr std::int32_t AccessShiftNone = 0;
inline constexpr std::int32_t AccessShiftShift = 1;
inline constexpr std::int32_t AccessShiftCtrl = 2;
inline constexpr std::int32_t AccessShiftAlt = 3;
// Least "AccessTimes" and password length of a valid protection.
inline constexpr std::int32_t MinAccessTimes = 3;
inline constexpr std::size_t MinPasswordLength = 6;

// The autostart entry: an absolute key under HKEY_CURRENT_USER (the leading backslash
// makes it absolute for the accessor), a string value.
inline constexpr std::string_view RunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view AutostartValue = "NimbrelWM&SS";
// The value when autostart is off; anything else counts as on.
inline constexpr std::string_view AutostartOff = "*";
// The wallpaper changer, expected beside this program.
inline constexpr std::string_view WallpaperChangerFile = "NIMBREL.EXE";

// The screen-saver entry of SYSTEM.INI in the Windows directory.
inline constexpr std::string_view SystemIniName = "\\SYSTEM.INI";
inline constexpr std::string_view SystemIniSection = "boot";
inline constexpr std::string_view SystemIniKey = "SCRNSAVE.EXE";
// The product's screen saver, expected beside this program.
inline constexpr std::string_view ScreenSaverFile = "NIMBRSRV.SCR";

} // namespace nimbrel::store
