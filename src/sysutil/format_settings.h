#pragma once
// The process-wide number and date format every formatting of the program uses.
#include <string>

namespace nimbrel {

struct TFormatSettings {
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char DateSeparator = '.';
    char TimeSeparator = ':';
    std::string ShortDateFormat = "dd.mm.yyyy";
    // Whether the settings are reloaded when the system announces a change of them.
    bool UpdateFormatSettings = true;
};

// The process-wide settings.
TFormatSettings& FormatSettings();
// Loads them from the host's regional settings (GetLocaleInfo on Windows, the user's
// locale elsewhere).
void LoadFormatSettingsFromHost();
// Fixes them to "." and "," and day.month.year, unless they are right already.
void FixFormatSettings();

} // namespace nimbrel
