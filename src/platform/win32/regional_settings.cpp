#include "platform/regional_settings.h"

#include "platform/win32/windows_api.h"

namespace nimbrel::platform {
namespace {

std::string LocaleInfo(LCTYPE type) {
    char buffer[256] = {};
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, type, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer) : std::string();
}

} // namespace

RegionalSettings UserRegionalSettings() {
    RegionalSettings settings;
    settings.notation = RegionalSettings::Notation::Windows;
    settings.decimalSeparator = LocaleInfo(LOCALE_SDECIMAL);
    settings.thousandSeparator = LocaleInfo(LOCALE_STHOUSAND);
    settings.dateSeparator = LocaleInfo(LOCALE_SDATE);
    settings.timeSeparator = LocaleInfo(LOCALE_STIME);
    settings.shortDateFormat = LocaleInfo(LOCALE_SSHORTDATE);
    return settings;
}

} // namespace nimbrel::platform
