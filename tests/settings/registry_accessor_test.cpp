#include "settings/registry_accessor.h"

#include "settings/store_errors.h"
#include "settings/store_values.h"
#include "sysutil/emulated_root.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

namespace nimbrel {
namespace {

using platform::Hive;
using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

class RegistryAccessorTest : public ::testing::Test {
protected:
    void SetRaw(std::string_view name, std::uint32_t type, const Bytes& data,
                Hive hive = Hive::CurrentUser, std::string_view key = store::SettingsKey) {
        platform::RegKey handle;
        ASSERT_EQ(handle.Create(hive, key), platform::ErrorSuccess);
        ASSERT_EQ(handle.SetValue(name, type, data.data(), data.size()), platform::ErrorSuccess);
    }
    std::optional<platform::RegValue> Raw(std::string_view name,
                                          std::string_view key = store::SettingsKey) {
        platform::RegKey handle;
        platform::RegValue value;
        if (handle.Open(Hive::CurrentUser, key) != platform::ErrorSuccess ||
            handle.QueryValue(name, value) != platform::ErrorSuccess)
            return std::nullopt;
        return value;
    }
    // The message of the store error a call raises, or "" when it raises none.
    template <typename Call> static std::string ErrorOf(Call&& call) {
        try {
            call();
        } catch (const ERegistryException& error) {
            return error.Message();
        }
        return "";
    }

    testing::EmulatedRoot root;
};

TEST_F(RegistryAccessorTest, ReadStringRules) {
    struct Case {
        const char* name;
        std::optional<std::pair<std::uint32_t, Bytes>> stored; // nothing: value missing
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"missing", std::nullopt, "", ""},
        {"no terminating zero", {{platform::RegSz, BytesOf("Original")}}, "Original", ""},
        {"terminating zero", {{platform::RegSz, BytesOf(std::string_view("Yes\0", 4))}}, "Yes", ""},
        {"embedded zero", {{platform::RegSz, BytesOf(std::string_view("ab\0cd", 5))}}, "ab", ""},
        {"empty REG_SZ", {{platform::RegSz, {}}}, "", ""},
        {"expand not expanded",
         {{platform::RegExpandSz, BytesOf("%WINDIR%\\X")}},
         "%WINDIR%\\X",
         ""},
        {"1250 text",
         {{platform::RegSz, BytesOf("\x8E"
                                    "ABA")}},
         "\x8E"
         "ABA",
         ""},
        {"dword", {{platform::RegDword, {60, 0, 0, 0}}}, "", "Invalid data type for 'V'"},
        {"binary", {{platform::RegBinary, BytesOf("ab")}}, "", "Invalid data type for 'V'"},
        {"multi",
         {{platform::RegMultiSz, BytesOf(std::string_view("a\0\0", 3))}},
         "",
         "Invalid data type for 'V'"},
        {"empty binary", {{platform::RegBinary, {}}}, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string key = std::string(store::SettingsKey) + "\\" + c.name;
        if (c.stored)
            SetRaw("V", c.stored->first, c.stored->second, Hive::CurrentUser, key);
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(key, true));
        std::string text = "unchanged";
        EXPECT_EQ(ErrorOf([&] { text = registry.ReadString("V"); }), c.error);
        if (c.error.empty()) {
            EXPECT_EQ(text, c.text);
        }
    }
}

TEST_F(RegistryAccessorTest, ReadIntegerNeedsAFourByteDword) {
    struct Case {
        const char* name;
        std::optional<std::pair<std::uint32_t, Bytes>> stored;
        std::int32_t number;
        std::string error;
    };
    const Case cases[] = {
        {"missing", std::nullopt, 0, "Failed to get data for 'Interval'"},
        {"sixty", {{platform::RegDword, {60, 0, 0, 0}}}, 60, ""},
        {"minus one", {{platform::RegDword, {0xFF, 0xFF, 0xFF, 0xFF}}}, -1, ""},
        {"little endian", {{platform::RegDword, {0x01, 0x02, 0x03, 0x04}}}, 0x04030201, ""},
        {"text 60", {{platform::RegSz, BytesOf("60")}}, 0, "Invalid data type for 'Interval'"},
        {"binary", {{platform::RegBinary, {60, 0, 0, 0}}}, 0, "Invalid data type for 'Interval'"},
        {"qword", {{platform::RegQword, Bytes(8)}}, 0, "Invalid data type for 'Interval'"},
        {"short dword", {{platform::RegDword, {60, 0}}}, 0, "Failed to get data for 'Interval'"},
        {"empty dword", {{platform::RegDword, {}}}, 0, "Failed to get data for 'Interval'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string key = std::string(store::SettingsKey) + "\\" + c.name;
        if (c.stored)
            SetRaw("Interval", c.stored->first, c.stored->second, Hive::CurrentUser, key);
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(key, true));
        std::int32_t number = 12345;
        EXPECT_EQ(ErrorOf([&] { number = registry.ReadInteger("Interval"); }), c.error);
        if (c.error.empty()) {
            EXPECT_EQ(number, c.number);
        }
    }
}

TEST_F(RegistryAccessorTest, WritesStringsWithoutZeroAndIntegersAsDwords) {
    {
        TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(store::SettingsKey, true)); // created on first use
        registry.WriteString(store::StretchWallpaper, "Resize");
        registry.WriteString(store::AccessPassword, "");
        registry.WriteString(store::SetAsNext, "\x8E"
                                               "ABA.JPG");
        registry.WriteInteger(store::StretchWallpaperPosition, -1);
        registry.WriteInteger(store::Interval, 45);
    }
    struct Case {
        std::string_view name;
        std::uint32_t type;
        Bytes data;
    };
    const Case cases[] = {
        {store::StretchWallpaper, platform::RegSz, BytesOf("Resize")},
        {store::AccessPassword, platform::RegSz, {}},
        {store::SetAsNext, platform::RegSz,
         BytesOf("\x8E"
                 "ABA.JPG")},
        {store::StretchWallpaperPosition, platform::RegDword, {0xFF, 0xFF, 0xFF, 0xFF}},
        {store::Interval, platform::RegDword, {45, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const auto value = Raw(c.name);
        ASSERT_TRUE(value) << c.name;
        EXPECT_EQ(value->type, c.type) << c.name;
        EXPECT_EQ(value->data, c.data) << c.name;
    }
    TRegistry registry;
    registry.OpenKey(store::SettingsKey, true);
    EXPECT_EQ(registry.ReadString(store::SetAsNext), "\x8E"
                                                     "ABA.JPG");
    EXPECT_EQ(registry.ReadInteger(store::StretchWallpaperPosition), -1);
}

TEST_F(RegistryAccessorTest, WithoutAnOpenKeyStringsReadEmptyAndTheRestFails) {
    TRegistry registry;
    EXPECT_FALSE(registry.OpenKey("Software\\Missing", false));
    EXPECT_FALSE(registry.HasOpenKey());
    EXPECT_EQ(registry.ReadString("StretchWallpaper"), "");
    EXPECT_EQ(ErrorOf([&] { registry.ReadInteger("Interval"); }),
              "Failed to get data for 'Interval'");
    EXPECT_EQ(ErrorOf([&] { registry.WriteString("ExitOnChange", "No"); }),
              "Failed to set data for 'ExitOnChange'");
    EXPECT_EQ(ErrorOf([&] { registry.WriteInteger("Interval", 1); }),
              "Failed to set data for 'Interval'");
}

TEST_F(RegistryAccessorTest, OpenKeyPaths) {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("Software\\Vexmoor", true));
    ASSERT_TRUE(registry.OpenKey("Nimbrel", true)); // relative to the open key
    EXPECT_EQ(registry.CurrentPath(), "Software\\Vexmoor\\Nimbrel");
    ASSERT_TRUE(registry.OpenKey(store::RunKey, true)); // absolute
    EXPECT_EQ(registry.CurrentPath(), "Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    registry.WriteString(store::AutostartValue, "*");
    EXPECT_TRUE(Raw(store::AutostartValue, "Software\\Microsoft\\Windows\\CurrentVersion\\Run"));

    TRegistry machine(Hive::LocalMachine);
    EXPECT_FALSE(machine.OpenKey("SOFTWARE\\Corvane\\Tessaly", false)); // nothing created
    EXPECT_FALSE(machine.OpenKey("SOFTWARE\\Corvane\\Tessaly", false));
    SetRaw("RootDirectory", platform::RegSz, BytesOf("C:\\T"), Hive::LocalMachine,
           "SOFTWARE\\Corvane\\Tessaly");
    ASSERT_TRUE(machine.OpenKey("software\\corvane\\tessaly", false));
    EXPECT_EQ(machine.ReadString("rootdirectory"), "C:\\T");
}

#ifndef _WIN32 // the emulated registry's database file
TEST_F(RegistryAccessorTest, AnUnusableStoreReadsLikeAnEmptyKeyAndRefusesWrites) {
    // A registry file that is no database at all: the key can be neither opened nor created.
    std::ofstream(root.Host("registry.sqlite3"), std::ios::binary) << std::string(4096, 'x');
    TRegistry registry;
    registry.OpenKey(store::SettingsKey, true);
    EXPECT_EQ(registry.ReadString(store::StretchWallpaper), "");
    EXPECT_NE(ErrorOf([&] { registry.ReadInteger(store::Interval); }), "");
    EXPECT_EQ(ErrorOf([&] { registry.WriteString(store::ExitOnChange, "Yes"); }),
              "Failed to set data for 'ExitOnChange'");
}
#endif

TEST(StoreErrorsTest, EveryStoreErrorIsAnExceptionWithItsText) {
    const auto messageOf = [](auto&& error) -> std::string {
        try {
            throw error;
        } catch (const Exception& caught) {
            return caught.Message();
        }
    };
    EXPECT_EQ(messageOf(ERegistryReadError("Interval")), "Failed to get data for 'Interval'");
    EXPECT_EQ(messageOf(ERegistryTypeError("Interval")), "Invalid data type for 'Interval'");
    EXPECT_EQ(messageOf(ERegistryWriteError("ForceReload")),
              "Failed to set data for 'ForceReload'");
    EXPECT_EQ(messageOf(EIniFileException("C:\\WINDOWS\\SYSTEM.INI")),
              "Unable to write to C:\\WINDOWS\\SYSTEM.INI");
}

} // namespace
} // namespace nimbrel
