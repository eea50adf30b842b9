#include "sysutil/format_settings.h"

#include "sysutil/text_routines.h"

#include <string_view>

namespace nimbrel {

TFormatSettings& FormatSettings() {
    static TFormatSettings settings;
    return settings;
}

void FixFormatSettings() {
    TFormatSettings& settings = FormatSettings();
    const bool right = settings.DateSeparator == '.' && settings.TimeSeparator == ':' &&
                       UpperText(settings.ShortDateFormat) == "DD.MM.YYYY" &&
                       settings.ThousandSeparator == ',' && settings.DecimalSeparator == '.';
    // The program keeps its own format while it runs, whatever the user changes meanwhile.
    settings.UpdateFormatSettings = false;
    if (right)
        return;
    settings.DateSeparator = '.';
    settings.TimeSeparator = ':';
    settings.ShortDateFormat = "dd.mm.yyyy";
    settings.ThousandSeparator = ',';
    settings.DecimalSeparator = '.';
}

namespace {

bool IsPatternFlag(char c) {
    return c == '-' || c == '_' || c == '0' || c == '^' || c == '#';
}

// Expands the composite conversions into their parts, so one pass can translate them.
std::string ExpandComposites(std::string_view pattern) {
    std::string result;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            const char conversion = pattern[i + 1];
            const char* expansion = conversion == 'D'   ? "%m/%d/%y"
                                    : conversion == 'F' ? "%Y-%m-%d"
                                    : conversion == 'T' ? "%H:%M:%S"
                                    : conversion == 'R' ? "%H:%M"
                                    : conversion == 'r' ? "%I:%M:%S %p"
                                                        : nullptr;
            if (expansion != nullptr) {
                result += expansion;
                ++i;
                continue;
            }
        }
        result += pattern[i];
    }
    return result;
}

// One pass over a strftime pattern: the Windows-style pattern and the first separator
// (a literal character that is neither a letter nor a blank).
struct TranslatedPattern {
    std::string windowsPattern;
    char separator = 0;
};

TranslatedPattern TranslatePattern(std::string_view strftimePattern) {
    const std::string pattern = ExpandComposites(strftimePattern);
    TranslatedPattern out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            const bool isLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
            if (out.separator == 0 && !isLetter && c != ' ')
                out.separator = c;
            out.windowsPattern += c;
            continue;
        }
        ++i;
        bool noPadding = false;
        while (i < pattern.size() && IsPatternFlag(pattern[i])) {
            noPadding = noPadding || pattern[i] == '-';
            ++i;
        }
        if (i < pattern.size() && (pattern[i] == 'E' || pattern[i] == 'O'))
            ++i;
        if (i >= pattern.size())
            break;
        switch (pattern[i]) {
        case 'd':
            out.windowsPattern += noPadding ? "d" : "dd";
            break;
        case 'e':
            out.windowsPattern += "d";
            break;
        case 'm':
            out.windowsPattern += noPadding ? "M" : "MM";
            break;
        case 'b':
        case 'h':
            out.windowsPattern += "MMM";
            break;
        case 'B':
            out.windowsPattern += "MMMM";
            break;
        case 'y':
            out.windowsPattern += "yy";
            break;
        case 'Y':
            out.windowsPattern += "yyyy";
            break;
        case 'a':
            out.windowsPattern += "ddd";
            break;
        case 'A':
            out.windowsPattern += "dddd";
            break;
        case 'H':
            out.windowsPattern += "hh";
            break;
        case 'M':
            out.windowsPattern += "nn";
            break;
        case 'S':
            out.windowsPattern += "ss";
            break;
        case '%':
            out.windowsPattern += '%';
            break;
        default: // conversions a short date has no notation for are left out
            break;
        }
    }
    return out;
}

} // namespace

TFormatSettings FormatSettingsFromLocaleData(const TLocaleData& data) {
    TFormatSettings settings;
    settings.DecimalSeparator = data.DecimalPoint.empty() ? '.' : data.DecimalPoint.front();
    // A locale without digit grouping: the separator the invariant Windows locale uses.
    settings.ThousandSeparator =
        data.ThousandsSeparator.empty() ? ',' : data.ThousandsSeparator.front();
    const TranslatedPattern date = TranslatePattern(data.DateFormat);
    settings.ShortDateFormat = date.windowsPattern;
    settings.DateSeparator = date.separator != 0 ? date.separator : '/';
    const TranslatedPattern time = TranslatePattern(data.TimeFormat);
    settings.TimeSeparator = time.separator != 0 ? time.separator : ':';
    return settings;
}

} // namespace nimbrel
