#include "settings/store_entries.h"

#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "settings/store_errors.h"
#include "settings/store_values.h"
#include "sysutil/emulated_root.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

namespace nimbrel {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::string_view RunPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class StoreEntriesTest : public ::testing::Test {
protected:
    void SetRaw(std::string_view key, std::string_view name, std::uint32_t type,
                std::string_view data) {
        platform::RegKey handle;
        ASSERT_EQ(handle.Create(platform::Hive::CurrentUser, key), platform::ErrorSuccess);
        ASSERT_EQ(handle.SetValue(name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                                  data.size()),
                  platform::ErrorSuccess);
    }
    std::optional<platform::RegValue> Raw(std::string_view key, std::string_view name) {
        platform::RegKey handle;
        platform::RegValue value;
        if (handle.Open(platform::Hive::CurrentUser, key) != platform::ErrorSuccess ||
            handle.QueryValue(name, value) != platform::ErrorSuccess)
            return std::nullopt;
        return value;
    }

    testing::EmulatedRoot root;
};

TEST_F(StoreEntriesTest, AutostartIsOnUnlessTheValueIsExactlyAStar) {
    struct Case {
        const char* name;
        std::optional<std::pair<std::uint32_t, std::string_view>> stored;
        bool on;
    };
    // In this order: each case replaces the value the one before stored.
    const Case cases[] = {
        {"missing", std::nullopt, true},
        {"star", {{platform::RegSz, "*"}}, false},
        {"star with zero", {{platform::RegSz, std::string_view("*\0x", 3)}}, false},
        {"program", {{platform::RegSz, "C:\\N\\NIMBREL.EXE"}}, true},
        {"empty", {{platform::RegSz, ""}}, true},
        {"two stars", {{platform::RegSz, "**"}}, true},
        {"dword", {{platform::RegDword, std::string_view("\0\0\0\0", 4)}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.stored)
            SetRaw(RunPath, store::AutostartValue, c.stored->first, c.stored->second);
        EXPECT_EQ(ReadAutostart(), std::optional<bool>(c.on));
    }
}

TEST_F(StoreEntriesTest, WritingAutostartNeverDeletesTheValue) {
    WriteAutostart(true, "C:\\APPS\\N\\");
    auto value = Raw(RunPath, store::AutostartValue);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, platform::RegSz);
    EXPECT_EQ(std::string(value->data.begin(), value->data.end()), "C:\\APPS\\N\\NIMBREL.EXE");
    EXPECT_EQ(ReadAutostart(), std::optional<bool>(true));

    WriteAutostart(false, "C:\\APPS\\N\\");
    value = Raw(RunPath, store::AutostartValue);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->data, Bytes{'*'});
    EXPECT_EQ(ReadAutostart(), std::optional<bool>(false));
}

TEST_F(StoreEntriesTest, ARequestCreatesTheMissingSettingsKey) {
    WriteSettingsString(store::ForceReload, store::Yes);
    const auto value = Raw(store::SettingsKey, store::ForceReload);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, platform::RegSz);
    EXPECT_EQ(std::string(value->data.begin(), value->data.end()), "Yes");
}

TEST_F(StoreEntriesTest, InstallingTheScreenSaverKeepsTheRestOfSystemIni) {
    root.WriteHostFile("windows/system.ini",
                       "[boot]\r\nshell=Explorer.exe\r\nSCRNSAVE.EXE=OLD.SCR\r\n"
                       "[386Enh]\r\nwoafont=dosapp.fon\r\n");
    EXPECT_EQ(SystemIniFile(), platform::WindowsDirectory() + "\\SYSTEM.INI");
    InstallScreenSaver("C:\\APPS\\N\\");
    const std::string file = SystemIniFile();
    EXPECT_EQ(platform::GetProfileString(file, "boot", "SCRNSAVE.EXE", ""),
              "C:\\APPS\\N\\NIMBRSRV.SCR");
    EXPECT_EQ(platform::GetProfileString(file, "BOOT", "shell", ""), "Explorer.exe");
    EXPECT_EQ(platform::GetProfileString(file, "386Enh", "woafont", ""), "dosapp.fon");
    if (!testing::EmulatedRoot::ScreenSaverActivityInRegistry)
        return;
    const auto active = Raw("Control Panel\\Desktop", "ScreenSaveActive");
    ASSERT_TRUE(active);
    EXPECT_EQ(std::string(active->data.begin(), active->data.end()).substr(0, 1), "1");
}

TEST_F(StoreEntriesTest, AnUnwritableSystemIniIsReportedAndTheScreenSaverStaysOff) {
    // A folder where the file should be: no write can succeed.
    std::filesystem::create_directories(root.Host("windows/SYSTEM.INI"));
    try {
        InstallScreenSaver("C:\\APPS\\N\\");
        FAIL() << "no error";
    } catch (const EIniFileException& error) {
        EXPECT_EQ(error.Message(), "Unable to write to " + SystemIniFile());
    }
    EXPECT_FALSE(Raw("Control Panel\\Desktop", "ScreenSaveActive"));
}

#ifndef _WIN32 // the emulated registry's database file
TEST_F(StoreEntriesTest, AnUnusableStoreLeavesAutostartAloneAndRefusesRequests) {
    std::ofstream(root.Host("registry.sqlite3"), std::ios::binary) << std::string(4096, 'x');
    EXPECT_EQ(ReadAutostart(), std::nullopt); // the check box keeps its state
    EXPECT_NO_THROW(WriteAutostart(true, "C:\\N\\"));
    try {
        WriteSettingsString(store::ForceReload, store::Yes);
        FAIL() << "no error";
    } catch (const ERegistryWriteError& error) {
        EXPECT_EQ(error.Message(), "Failed to set data for 'ForceReload'");
    }
    EXPECT_EQ(std::filesystem::file_size(root.Host("registry.sqlite3")), 4096u);
}
#endif

} // namespace
} // namespace nimbrel
