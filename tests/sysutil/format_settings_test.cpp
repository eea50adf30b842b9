#include "sysutil/format_settings.h"

#include <gtest/gtest.h>

#include <clocale>

#ifndef _WIN32
#include "scoped_env.h"

#include <locale.h>
#endif

namespace nimbrel {
namespace {

// Keeps the process-wide settings of the other tests out of each test.
class FormatSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = FormatSettings(); }
    void TearDown() override { FormatSettings() = saved_; }

private:
    TFormatSettings saved_;
};

TFormatSettings Settings(char decimal, char thousand, char date, char time, std::string pattern) {
    TFormatSettings settings;
    settings.DecimalSeparator = decimal;
    settings.ThousandSeparator = thousand;
    settings.DateSeparator = date;
    settings.TimeSeparator = time;
    settings.ShortDateFormat = std::move(pattern);
    return settings;
}

TEST_F(FormatSettingsTest, FixReplacesAllUnlessAllFiveAreRight) {
    struct Case {
        const char* name;
        TFormatSettings before;
        std::string patternAfter; // the other four are always . , . :
    };
    const Case cases[] = {
        {"German", Settings(',', '.', '.', ':', "dd.MM.yyyy"), "dd.mm.yyyy"},
        {"right, other letter case kept", Settings('.', ',', '.', ':', "dd.MM.yyyy"), "dd.MM.yyyy"},
        {"right as fixed", Settings('.', ',', '.', ':', "dd.mm.yyyy"), "dd.mm.yyyy"},
        {"short day and month", Settings('.', ',', '.', ':', "d.M.yyyy"), "dd.mm.yyyy"},
        {"time separator", Settings('.', ',', '.', '.', "dd.MM.yyyy"), "dd.mm.yyyy"},
        {"date separator", Settings('.', ',', '/', ':', "dd.MM.yyyy"), "dd.mm.yyyy"},
        {"thousands", Settings('.', '\xA0', '.', ':', "DD.MM.YYYY"), "dd.mm.yyyy"},
        {"United States", Settings('.', ',', '/', ':', "M/d/yyyy"), "dd.mm.yyyy"},
    };
    for (const Case& c : cases) {
        FormatSettings() = c.before;
        FixFormatSettings();
        const TFormatSettings& after = FormatSettings();
        EXPECT_EQ(after.DecimalSeparator, '.') << c.name;
        EXPECT_EQ(after.ThousandSeparator, ',') << c.name;
        EXPECT_EQ(after.DateSeparator, '.') << c.name;
        EXPECT_EQ(after.TimeSeparator, ':') << c.name;
        EXPECT_EQ(after.ShortDateFormat, c.patternAfter) << c.name;
        EXPECT_FALSE(after.UpdateFormatSettings) << c.name;
    }
}

TEST(FormatSettingsFromLocaleDataTest, TranslatesWhatALocaleReports) {
    struct Case {
        const char* name;
        TLocaleData data;
        TFormatSettings expected;
    };
    const Case cases[] = {
        {"de_DE", {",", ".", "%d.%m.%Y", "%H:%M:%S"}, Settings(',', '.', '.', ':', "dd.MM.yyyy")},
        {"C", {".", "", "%m/%d/%y", "%H:%M:%S"}, Settings('.', ',', '/', ':', "MM/dd/yy")},
        {"ISO composites", {".", ",", "%F", "%T"}, Settings('.', ',', '-', ':', "yyyy-MM-dd")},
        {"fr_FR",
         {",", "\xA0", "%d/%m/%Y", "%H:%M:%S"},
         Settings(',', '\xA0', '/', ':', "dd/MM/yyyy")},
        {"hu_HU",
         {",", " ", "%Y. %m. %d.", "%H:%M:%S"},
         Settings(',', ' ', '.', ':', "yyyy. MM. dd.")},
        {"flags", {".", ",", "%-d.%-m.%Y", "%H.%M"}, Settings('.', ',', '.', '.', "d.M.yyyy")},
        {"D composite", {".", ",", "%D", "%R"}, Settings('.', ',', '/', ':', "MM/dd/yy")},
    };
    for (const Case& c : cases) {
        const TFormatSettings got = FormatSettingsFromLocaleData(c.data);
        EXPECT_EQ(got.DecimalSeparator, c.expected.DecimalSeparator) << c.name;
        EXPECT_EQ(got.ThousandSeparator, c.expected.ThousandSeparator) << c.name;
        EXPECT_EQ(got.DateSeparator, c.expected.DateSeparator) << c.name;
        EXPECT_EQ(got.TimeSeparator, c.expected.TimeSeparator) << c.name;
        EXPECT_EQ(got.ShortDateFormat, c.expected.ShortDateFormat) << c.name;
    }
}

TEST_F(FormatSettingsTest, AGermanHostStartsWithCommaAndEndsFixed) {
    FormatSettings() = FormatSettingsFromLocaleData({",", ".", "%d.%m.%Y", "%H:%M:%S"});
    EXPECT_EQ(FormatSettings().DecimalSeparator, ',');
    FixFormatSettings();
    EXPECT_EQ(FormatSettings().DecimalSeparator, '.');
    EXPECT_EQ(FormatSettings().ThousandSeparator, ',');
    EXPECT_EQ(FormatSettings().ShortDateFormat, "dd.mm.yyyy");
}

#ifndef _WIN32
using testing::ScopedEnv;

bool LocaleInstalled(const char* name) {
    locale_t locale = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    if (locale == nullptr)
        return false;
    freelocale(locale);
    return true;
}

TEST_F(FormatSettingsTest, HostLocaleIsReadFromTheEnvironmentWithoutChangingTheProcess) {
    struct Case {
        const char* locale;
        char decimal, thousand, date;
        const char* pattern;
    };
    // de_DE.UTF-8 only where it is installed; the translation itself is covered above.
    const Case cases[] = {
        {"C", '.', ',', '/', "MM/dd/yy"},
        {"de_DE.UTF-8", ',', '.', '.', "dd.MM.yyyy"},
    };
    const std::string processLocale = std::setlocale(LC_ALL, nullptr);
    for (const Case& c : cases) {
        if (!LocaleInstalled(c.locale))
            continue;
        ScopedEnv lcAll("LC_ALL", c.locale);
        LoadFormatSettingsFromHost();
        EXPECT_EQ(FormatSettings().DecimalSeparator, c.decimal) << c.locale;
        EXPECT_EQ(FormatSettings().ThousandSeparator, c.thousand) << c.locale;
        EXPECT_EQ(FormatSettings().DateSeparator, c.date) << c.locale;
        EXPECT_EQ(FormatSettings().ShortDateFormat, c.pattern) << c.locale;
        EXPECT_EQ(std::setlocale(LC_ALL, nullptr), processLocale) << c.locale;
    }
}

TEST_F(FormatSettingsTest, AnUninstalledLocaleReadsAsC) {
    ScopedEnv lcAll("LC_ALL", "xx_NOWHERE.UTF-8");
    LoadFormatSettingsFromHost();
    EXPECT_EQ(FormatSettings().DecimalSeparator, '.');
    EXPECT_EQ(FormatSettings().ShortDateFormat, "MM/dd/yy");
}
#endif

} // namespace
} // namespace nimbrel
