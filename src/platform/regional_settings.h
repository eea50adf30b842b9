#pragma once
// The user's regional settings (number, date and time format) as the host keeps them,
// in code page 1250. Each host answers in its own notation; the format settings turn
// either into the program's.
#include <string>

namespace nimbrel::platform {

struct RegionalSettings {
    // Windows (GetLocaleInfo): one separator each and the short date in Windows' notation
    // ("dd.MM.yyyy"); an item the system does not answer is empty.
    // POSIX (the locale named by LC_ALL, LC_xxx or LANG, as nl_langinfo reports it): the
    // radix and grouping texts and the date and time as strftime patterns ("%d.%m.%Y");
    // the separators of the date and time are found in the patterns, so they stay empty.
    enum class Notation { Windows, Strftime } notation = Notation::Strftime;
    std::string decimalSeparator;
    std::string thousandSeparator;
    std::string dateSeparator;
    std::string timeSeparator;
    std::string shortDateFormat;
    std::string timeFormat; // strftime notation only
};

// Read afresh at every call; the process's own locale is neither used nor changed.
RegionalSettings UserRegionalSettings();

} // namespace nimbrel::platform
