#include "platform/host_fixture.h"
#include "platform/registry.h"

#include <gtest/gtest.h>

namespace nimbrel::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

class RegistryTest : public test::HostFixture {
protected:
    RegKey CreateKey(const std::string& below = "") {
        RegKey key;
        EXPECT_EQ(key.Create(Hive::CurrentUser, TestKey() + below), ErrorSuccess);
        return key;
    }
    void Set(RegKey& key, std::string_view name, std::uint32_t type, const Bytes& data) {
        ASSERT_EQ(key.SetValue(name, type, data.data(), data.size()), ErrorSuccess);
    }
};

TEST_F(RegistryTest, ValuesKeepTheirTypeAndExactBytes) {
    const struct {
        const char* name;
        std::uint32_t type;
        Bytes data;
    } cases[] = {
        {"NoZero", RegSz, BytesOf("FitToScreen")},
        {"WithZero", RegSz, Bytes{'a', 'b', 0}},
        {"Empty", RegSz, Bytes{}},
        {"EmbeddedZero", RegSz, Bytes{'a', 0, 'b'}},
        {"Expand", RegExpandSz, BytesOf("%WINDIR%\\x")},
        {"Dword", RegDword, Bytes{0x3C, 0, 0, 0}},
        {"Binary", RegBinary, Bytes{0, 0xFF, 0x80, 0x7F}},
        {"Multi", RegMultiSz, Bytes{'a', 0, 'b', 0, 0}},
        {"Qword", RegQword, Bytes{1, 2, 3, 4, 5, 6, 7, 8}},
        {"Odd type", 0x1234, Bytes{9}},
        {"\x8A"
         "koda \xE8",
         RegSz,
         BytesOf("\x9E"
                 "aba")}, // 1250 names and data
    };
    RegKey key = CreateKey();
    for (const auto& c : cases)
        Set(key, c.name, c.type, c.data);
    key.Close();

    RegKey reopened;
    ASSERT_EQ(reopened.Open(Hive::CurrentUser, TestKey()), ErrorSuccess);
    for (const auto& c : cases) {
        RegValue value;
        ASSERT_EQ(reopened.QueryValue(c.name, value), ErrorSuccess) << c.name;
        EXPECT_EQ(value.type, c.type) << c.name;
        EXPECT_EQ(value.data, c.data) << c.name;
    }
}

TEST_F(RegistryTest, KeyPathsAndValueNamesIgnoreCase) {
    RegKey key = CreateKey("\\Inner\\\x9A"
                           "kola"); // š, opened below as Š
    Set(key, "Interval", RegDword, Bytes{1, 0, 0, 0});

    RegKey other;
    std::string upper = TestKey() + "\\INNER\\\x8A"
                                    "KOLA";
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    ASSERT_EQ(other.Open(Hive::CurrentUser, upper), ErrorSuccess);
    RegValue value;
    ASSERT_EQ(other.QueryValue("INTERVAL", value), ErrorSuccess);
    EXPECT_EQ(value.data, (Bytes{1, 0, 0, 0}));

    // A write under another case replaces the one value, it does not add a second. (A key
    // opened for reading refuses writes on Windows: write through one opened to change.)
    RegKey writable;
    ASSERT_EQ(writable.Create(Hive::CurrentUser, upper), ErrorSuccess);
    Set(writable, "interval", RegDword, Bytes{2, 0, 0, 0});
    std::vector<std::pair<std::string, RegValue>> values;
    ASSERT_EQ(key.EnumValues(values), ErrorSuccess);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].first, "Interval");
    EXPECT_EQ(values[0].second.data, (Bytes{2, 0, 0, 0}));
}

TEST_F(RegistryTest, MissingThingsFailAndLeaveOutParametersAlone) {
    RegKey missing;
    EXPECT_EQ(missing.Open(Hive::CurrentUser, TestKey() + "\\Nowhere"), ErrorFileNotFound);
    EXPECT_FALSE(missing.IsOpen());

    RegKey key = CreateKey();
    RegValue value{RegDword, Bytes{7}};
    EXPECT_EQ(key.QueryValue("Missing", value), ErrorFileNotFound);
    EXPECT_EQ(value.type, RegDword);
    EXPECT_EQ(value.data, Bytes{7});

    RegKey closed;
    EXPECT_NE(closed.QueryValue("x", value), ErrorSuccess);
    EXPECT_NE(closed.SetValue("x", RegSz, nullptr, 0), ErrorSuccess);
    EXPECT_EQ(closed.Close(), ErrorSuccess);
}

TEST_F(RegistryTest, CreateMakesParentsAndOpenCreatesNothing) {
    RegKey deep = CreateKey("\\A\\B\\C");
    RegKey parent;
    ASSERT_EQ(parent.Open(Hive::CurrentUser, TestKey() + "\\A"), ErrorSuccess);
    std::vector<std::string> names;
    ASSERT_EQ(parent.EnumSubKeys(names), ErrorSuccess);
    EXPECT_EQ(names, std::vector<std::string>{"B"});

    RegKey absent;
    EXPECT_EQ(absent.Open(Hive::CurrentUser, TestKey() + "\\A\\X"), ErrorFileNotFound);
    ASSERT_EQ(parent.EnumSubKeys(names), ErrorSuccess);
    EXPECT_EQ(names, std::vector<std::string>{"B"});
}

TEST_F(RegistryTest, HivesAreSeparate) {
    RegKey user = CreateKey();
    Set(user, "OnlyHere", RegSz, BytesOf("x"));
    RegKey machine;
    if (machine.Open(Hive::LocalMachine, TestKey()) == ErrorSuccess) {
        RegValue value;
        EXPECT_EQ(machine.QueryValue("OnlyHere", value), ErrorFileNotFound);
    }
}

TEST_F(RegistryTest, AFailedOpenOrCreateKeepsTheKeyItHad) {
    RegKey key = CreateKey();
    Set(key, "Kept", RegDword, Bytes{5, 0, 0, 0});
    EXPECT_EQ(key.Open(Hive::CurrentUser, TestKey() + "\\Nowhere"), ErrorFileNotFound);
    // A key name is at most 255 characters.
    EXPECT_NE(key.Create(Hive::CurrentUser, TestKey() + "\\" + std::string(300, 'k')),
              ErrorSuccess);
    ASSERT_TRUE(key.IsOpen());
    RegValue value;
    ASSERT_EQ(key.QueryValue("Kept", value), ErrorSuccess);
    EXPECT_EQ(value.data, (Bytes{5, 0, 0, 0}));
    Set(key, "StillWritable", RegDword, Bytes{6, 0, 0, 0});
}

TEST_F(RegistryTest, ATransactionWithoutCommitLeavesTheStoreAsItWas) {
    RegKey key = CreateKey();
    Set(key, "Changed", RegSz, BytesOf("before"));
    for (const bool commit : {false, true}) {
        {
            RegTransaction transaction;
            ASSERT_EQ(transaction.Begin(), ErrorSuccess);
            Set(key, "Changed", RegDword, Bytes{1, 0, 0, 0});
            Set(key, "Changed", RegBinary, Bytes{2}); // twice: the first state comes back
            Set(key, "Added", RegSz, BytesOf("x"));
            RegKey made;
            ASSERT_EQ(made.Create(Hive::CurrentUser, TestKey() + "\\Made\\Deeper"), ErrorSuccess);
            Set(made, "Inside", RegSz, BytesOf("y"));
            if (commit) {
                ASSERT_EQ(transaction.Commit(), ErrorSuccess);
            }
        }
        RegValue value;
        ASSERT_EQ(key.QueryValue("Changed", value), ErrorSuccess);
        RegKey made;
        if (commit) {
            EXPECT_EQ(value.type, RegBinary);
            EXPECT_EQ(value.data, Bytes{2});
            EXPECT_EQ(key.QueryValue("Added", value), ErrorSuccess);
            EXPECT_EQ(made.Open(Hive::CurrentUser, TestKey() + "\\Made\\Deeper"), ErrorSuccess);
        } else {
            EXPECT_EQ(value.type, RegSz);
            EXPECT_EQ(value.data, BytesOf("before"));
            EXPECT_EQ(key.QueryValue("Added", value), ErrorFileNotFound);
            EXPECT_EQ(made.Open(Hive::CurrentUser, TestKey() + "\\Made"), ErrorFileNotFound);
        }
    }
}

TEST_F(RegistryTest, MovedKeyHandleStaysUsable) {
    RegKey key = CreateKey();
    RegKey moved = std::move(key);
    EXPECT_FALSE(key.IsOpen());
    EXPECT_TRUE(moved.IsOpen());
    Set(moved, "After", RegDword, Bytes{1, 0, 0, 0});
}

} // namespace
} // namespace nimbrel::platform
