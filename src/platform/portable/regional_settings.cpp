#include "platform/regional_settings.h"

#include "platform/codepage1250.h"

#include <langinfo.h>
#include <locale.h>

#include <memory>
#include <string_view>
#include <type_traits>

namespace nimbrel::platform {
namespace {

struct LocaleDeleter {
    void operator()(locale_t locale) const { freelocale(locale); }
};
using LocaleHandle = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleDeleter>;

// The categories we read, each taken from the environment (LC_ALL, LC_xxx, LANG) as
// setlocale(..., "") would, but into a locale object of our own: the process's locale
// and every other thread stay untouched. A category whose named locale is not installed
// stays "C".
LocaleHandle UserLocale() {
    LocaleHandle locale(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr)));
    if (!locale)
        return locale;
    for (int mask : {LC_CTYPE_MASK, LC_NUMERIC_MASK, LC_TIME_MASK}) {
        if (locale_t widened = newlocale(mask, "", locale.get()); widened != nullptr) {
            locale.release(); // newlocale took over the base on success
            locale.reset(widened);
        }
    }
    return locale;
}

// The locale's text in code page 1250. A narrow no-break space (the grouping of several
// locales) becomes the no-break space that 1250 has.
std::string ToCp1250(std::string_view text, bool utf8) {
    if (!utf8) {
        std::string ascii;
        for (char c : text)
            ascii += static_cast<unsigned char>(c) < 0x80 ? c : '?';
        return ascii;
    }
    std::string normalised(text);
    for (std::size_t at; (at = normalised.find("\xE2\x80\xAF")) != std::string::npos;)
        normalised.replace(at, 3, "\xC2\xA0");
    return Cp1250FromUtf8(normalised);
}

} // namespace

RegionalSettings UserRegionalSettings() {
    RegionalSettings settings;
    settings.decimalSeparator = ".";
    settings.thousandSeparator = ",";
    settings.shortDateFormat = "%m/%d/%y";
    settings.timeFormat = "%H:%M:%S";
    if (LocaleHandle locale = UserLocale()) {
        const std::string_view codeset = nl_langinfo_l(CODESET, locale.get());
        const bool utf8 = codeset == "UTF-8" || codeset == "utf8";
        settings.decimalSeparator = ToCp1250(nl_langinfo_l(RADIXCHAR, locale.get()), utf8);
        settings.thousandSeparator = ToCp1250(nl_langinfo_l(THOUSEP, locale.get()), utf8);
        settings.shortDateFormat = ToCp1250(nl_langinfo_l(D_FMT, locale.get()), utf8);
        settings.timeFormat = ToCp1250(nl_langinfo_l(T_FMT, locale.get()), utf8);
    }
    return settings;
}

} // namespace nimbrel::platform
