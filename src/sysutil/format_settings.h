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
// locale elsewhere, read from the environment without changing the process's locale).
void LoadFormatSettingsFromHost();
// Fixes them to "." and "," and day.month.year, unless they are right already, and
// switches off their reloading on a system change.
void FixFormatSettings();

// What a POSIX locale reports (nl_langinfo), already in code page 1250: the radix and
// grouping characters and the strftime patterns of a date and a time ("%d.%m.%Y").
struct TLocaleData {
    std::string DecimalPoint;
    std::string ThousandsSeparator;
    std::string DateFormat;
    std::string TimeFormat;
};
// The format settings such a locale gives: its separators (the first character of each;
// a locale without a grouping character gives ","), the date and time separators found
// in the patterns, and the date pattern in Windows' notation (%d -> dd, %m -> MM,
// %Y -> yyyy, %y -> yy, %e -> d, %b -> MMM, %B -> MMMM).
TFormatSettings FormatSettingsFromLocaleData(const TLocaleData& data);

} // namespace nimbrel
