// Reading the user's regional settings from the host.
#include "sysutil/format_settings.h"

#include "platform/regional_settings.h"

namespace nimbrel {
namespace {

char FirstOr(const std::string& text, char fallback) {
    return text.empty() ? fallback : text[0];
}

} // namespace

void LoadFormatSettingsFromHost() {
    const platform::RegionalSettings host = platform::UserRegionalSettings();
    if (host.notation == platform::RegionalSettings::Notation::Strftime) {
        FormatSettings() = FormatSettingsFromLocaleData(
            {host.decimalSeparator, host.thousandSeparator, host.shortDateFormat, host.timeFormat});
        return;
    }
    TFormatSettings& settings = FormatSettings();
    settings.DecimalSeparator = FirstOr(host.decimalSeparator, '.');
    settings.ThousandSeparator = FirstOr(host.thousandSeparator, ',');
    settings.DateSeparator = FirstOr(host.dateSeparator, '/');
    settings.TimeSeparator = FirstOr(host.timeSeparator, ':');
    if (!host.shortDateFormat.empty())
        settings.ShortDateFormat = host.shortDateFormat;
    settings.UpdateFormatSettings = true;
}

} // namespace nimbrel
