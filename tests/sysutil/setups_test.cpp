#include "sysutil/setups.h"

#include "emulated_root.h"
#include "scoped_env.h"
#include "sysutil/format_settings.h"
#include "sysutil/system_info.h"

#include <gtest/gtest.h>

namespace nimbrel {
namespace {

// In the C locale the host's date separator is "/": the facts must see the fixed ".",
// so they are collected after the format is fixed.
TEST(RunSetupsTest, FixesTheFormatBeforeCollectingTheFacts) {
    testing::EmulatedRoot root;
    const TFormatSettings saved = FormatSettings();
    {
        testing::ScopedEnv lcAll("LC_ALL", "C");
        RunSetups();
    }
    const TFormatSettings fixed = FormatSettings();
    FormatSettings() = saved;

    EXPECT_FALSE(fixed.UpdateFormatSettings);
    EXPECT_EQ(fixed.ShortDateFormat, "dd.mm.yyyy");
    EXPECT_EQ(SystemInfo().DateSep, '.');
    EXPECT_EQ(SystemInfo().DecimalSep, '.');
    EXPECT_EQ(SystemInfo().ThousandSep, ',');
    EXPECT_EQ(SystemInfo().TimeSep, ':');
    ASSERT_NE(SystemInfo().WinIni, nullptr);
}

} // namespace
} // namespace nimbrel
