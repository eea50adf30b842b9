// nimbrel-tool reg: export, import, get and set against a temporary environment.
#include "platform/registry.h"
#include "platform/utf8.h"
#include "support/temp_environment.h"
#include "tool_runner.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sqlite3.h>

namespace nimbrel::platform {
namespace {

using test::RunTool;
using Bytes = std::vector<std::uint8_t>;
using Values = std::vector<std::pair<std::string, RegValue>>;

const char* const NimbrelKey = "HKEY_CURRENT_USER\\Software\\Vexmoor\\Nimbrel";

Values ValuesOf(Hive hive, const std::string& path) {
    RegKey key;
    Values values;
    EXPECT_EQ(key.Open(hive, path), ErrorSuccess) << path;
    EXPECT_EQ(key.EnumValues(values), ErrorSuccess) << path;
    return values;
}

TEST(RegCommand, ExportThenImportGivesBackEveryTypeAndByte) {
    const Values stored = {
        {"StretchWallpaper", {RegSz, Bytes{'F', 'i', 't'}}}, // no terminating zero
        {"WithZero", {RegSz, Bytes{'a', 0}}},
        {"Embedded", {RegSz, Bytes{'a', 0, 'b'}}},
        {"EmptyText", {RegSz, Bytes{}}},
        {"Lines", {RegSz, Bytes{'a', '\r', '\n', 'b'}}},
        {"Quotes \"and\\ slashes", {RegSz, Bytes{'"', '\\', '"'}}},
        {"\x8A"
         "ifra \xE8",
         {RegSz, Bytes{0x9E, 0x8A, 0x80, 0x81, 0xFF}}}, // 1250 bytes
        {"", {RegSz, Bytes{'d'}}},                      // default value
        {"Interval", {RegDword, Bytes{0x3C, 0, 0, 0}}},
        {"ShortDword", {RegDword, Bytes{1, 2}}},
        {"Expand", {RegExpandSz, Bytes{'%', 'A', '%'}}},
        {"Multi", {RegMultiSz, Bytes{'a', 0, 0}}},
        {"Qword", {RegQword, Bytes{1, 2, 3, 4, 5, 6, 7, 8}}},
        {"EmptyBinary", {RegBinary, Bytes{}}},
        {"LongBinary", {RegBinary, Bytes(300, 0xA5)}},
        {"OddType", {0xABCD, Bytes{7}}},
    };
    std::string exported;
    {
        test::TempEnvironment environment;
        RegKey key;
        ASSERT_EQ(key.Create(Hive::CurrentUser, "Software\\Vexmoor\\Nimbrel"), ErrorSuccess);
        for (const auto& [name, value] : stored)
            ASSERT_EQ(key.SetValue(name, value.type, value.data.data(), value.data.size()),
                      ErrorSuccess);
        RegKey machine;
        ASSERT_EQ(machine.Create(Hive::LocalMachine, "SOFTWARE\\Corvane\\Tessaly"), ErrorSuccess);
        const auto result = RunTool({"reg", "export"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        exported = result.out;
    }
    EXPECT_EQ(exported.rfind("REGEDIT4\n\n", 0), 0u);
    EXPECT_NE(exported.find("\n\"StretchWallpaper\"=\"Fit\"\n"), std::string::npos);
    EXPECT_NE(exported.find("\n\"Interval\"=dword:0000003c\n"), std::string::npos);

    test::TempEnvironment fresh;
    const auto imported = RunTool({"reg", "import", "-"}, exported);
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    const Values back = ValuesOf(Hive::CurrentUser, "Software\\Vexmoor\\Nimbrel");
    ASSERT_EQ(back.size(), stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(back[i].first, stored[i].first);
        EXPECT_EQ(back[i].second.type, stored[i].second.type) << stored[i].first;
        EXPECT_EQ(back[i].second.data, stored[i].second.data) << stored[i].first;
    }
    RegKey machine;
    EXPECT_EQ(machine.Open(Hive::LocalMachine, "SOFTWARE\\Corvane\\Tessaly"), ErrorSuccess);
    EXPECT_EQ(RunTool({"reg", "export"}).out, exported);
}

TEST(RegCommand, SetThenGetPrintsTheExportLine) {
    test::TempEnvironment environment;
    const struct {
        const char* type;
        const char* data;
        const char* line;
    } cases[] = {
        {"sz", "FitToScreen", "\"V\"=\"FitToScreen\"\n"},
        {"sz", "", "\"V\"=\"\"\n"},
        {"sz", "C:\\Program Files\\\"N\"", "\"V\"=\"C:\\\\Program Files\\\\\\\"N\\\"\"\n"},
        {"sz", "Žaba", "\"V\"=\"Žaba\"\n"},
        {"expand_sz", "%A%", "\"V\"=hex(2):25,41,25\n"},
        {"dword", "60", "\"V\"=dword:0000003c\n"},
        {"dword", "0x10", "\"V\"=dword:00000010\n"},
        {"dword", "-1", "\"V\"=dword:ffffffff\n"},
        {"dword", "4294967295", "\"V\"=dword:ffffffff\n"},
        {"binary", "00ff7F", "\"V\"=hex:00,ff,7f\n"},
        {"binary", "00,ff", "\"V\"=hex:00,ff\n"},
        {"binary", "", "\"V\"=hex:\n"},
    };
    for (const auto& c : cases) {
        const auto set = RunTool({"reg", "set", "HKCU\\Software\\T", "V", c.type, c.data});
        ASSERT_EQ(set.exitCode, 0) << c.type << " " << c.data << ": " << set.err;
        const auto got = RunTool({"reg", "get", "HKEY_CURRENT_USER\\Software\\T", "v"});
        EXPECT_EQ(got.exitCode, 0) << got.err;
        EXPECT_EQ(got.out, std::string(c.line).replace(1, 1, "v")) << c.type << " " << c.data;
    }
    // Text goes in as given, without a terminating zero; Ž is one 1250 byte.
    const Values values = ValuesOf(Hive::CurrentUser, "Software\\T");
    ASSERT_EQ(values.size(), 1u);
    RegKey key;
    ASSERT_EQ(RunTool({"reg", "set", "HKLM\\S", "Name", "sz", "Žaba"}).exitCode, 0);
    ASSERT_EQ(key.Open(Hive::LocalMachine, "S"), ErrorSuccess);
    RegValue value;
    ASSERT_EQ(key.QueryValue("Name", value), ErrorSuccess);
    EXPECT_EQ(value.type, RegSz);
    EXPECT_EQ(value.data, (Bytes{0x8E, 'a', 'b', 'a'}));
}

TEST(RegCommand, BadArgumentsPrintUsageAndMissingThingsAreErrors) {
    test::TempEnvironment environment;
    ASSERT_EQ(RunTool({"reg", "set", NimbrelKey, "Interval", "dword", "60"}).exitCode, 0);
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"reg"}, 2, "usage"},
        {{"reg", "frobnicate"}, 2, "usage"},
        {{"reg", "get", NimbrelKey}, 2, "usage"},
        {{"reg", "set", NimbrelKey, "V", "qword", "1"}, 2, "TYPE"},
        {{"reg", "set", NimbrelKey, "V", "dword", "sixty"}, 2, "dword"},
        {{"reg", "set", NimbrelKey, "V", "dword", "0x100000000"}, 2, "dword"},
        {{"reg", "set", NimbrelKey, "V", "dword", "-2147483649"}, 2, "dword"},
        {{"reg", "set", NimbrelKey, "V", "binary", "abc"}, 2, "hex"},
        {{"reg", "set", NimbrelKey, "V", "binary", "zz"}, 2, "hex"},
        {{"reg", "get", "HKEY_CLASSES_ROOT\\x", "V"}, 2, "HKEY_CURRENT_USER"},
        {{"reg", "export", "Software\\x"}, 2, "HKEY_CURRENT_USER"},
        {{"reg", "get", NimbrelKey, "Missing"}, 1, "not found"},
        {{"reg", "get", "HKCU\\Software\\Missing", "Interval"}, 1, "not found"},
        {{"reg", "export", "HKCU\\Software\\Missing"}, 1, "not found"},
        {{"reg", "import", "/nonexistent/file.reg"}, 1, "/nonexistent/file.reg: no such file"},
    };
    for (const auto& c : cases) {
        const auto result = RunTool(c.args);
        std::string joined;
        for (const auto& arg : c.args)
            joined += arg + " ";
        EXPECT_EQ(result.exitCode, c.exitCode) << joined << result.err;
        EXPECT_NE(result.err.find(c.says), std::string::npos) << joined << result.err;
    }
    // Nothing asked to be missing was made on the way.
    RegKey missing;
    EXPECT_EQ(missing.Open(Hive::CurrentUser, "Software\\Missing"), ErrorFileNotFound);
}

TEST(RegCommand, BadImportFilesNameTheLineAndWriteNothing) {
    test::TempEnvironment environment;
    const struct {
        std::string text;
        const char* line;
    } cases[] = {
        {"", ":1:"},
        {"REGEDIT5\n", ":1:"},
        {"REGEDIT4\n\n\"a\"=\"b\"\n", ":3:"},
        {"REGEDIT4\n[HKCU\\S]\n\"a\"=dword:123456789\n", ":3:"},
        {"REGEDIT4\n[HKCU\\S]\n\"ok\"=\"1\"\n\"a\"=hex:1,zz\n", ":4:"},
        {"REGEDIT4\n[HKCU\\S]\n\"a\"=hex(2:00\n", ":3:"},
        {"REGEDIT4\n[HKCU\\S]\n\"a=\"b\"\n", ":3:"},
        {"REGEDIT4\n[HKCU\\S]\n\"a\"=\"b\n", ":3:"},
        {"REGEDIT4\n[HKCU\\S]\n\"a\"=-\n", ":3:"},
        {"REGEDIT4\n[-HKCU\\S]\n", ":2:"},
        {"REGEDIT4\n[HKXX\\S]\n", ":2:"},
        {"REGEDIT4\n[HKCU\\S\n", ":2:"},
        {"REGEDIT4\n[HKCU\\S]\n\"a\"=hex:00,\\\n  zz\n", ":3:"},
        {"REGEDIT4\r\n[HKCU\\S]\r\n\"a\"=\"1\"\r\nrubbish\r\n", ":4:"},
        {std::string("REGEDIT4\n[HKCU\\S]\n\"a\"=\"\0\"\n\"b\"=\"\n", 29), ":4:"},
    };
    for (const auto& c : cases) {
        const auto result = RunTool({"reg", "import", "-"}, c.text);
        EXPECT_EQ(result.exitCode, 1) << c.text << result.err;
        EXPECT_NE(result.err.find(std::string("standard input") + c.line), std::string::npos)
            << c.text << result.err;
    }
    RegKey key;
    EXPECT_EQ(key.Open(Hive::CurrentUser, "S"), ErrorFileNotFound);
}

TEST(RegCommand, ImportTakesWindowsFilesAndContinuedHexLists) {
    test::TempEnvironment environment;
    const std::string file = environment.Root() + "/windows.reg";
    // A 1250 file with CRLF lines, comments, a short key name and a list broken over lines.
    std::ofstream(file, std::ios::binary)
        << "REGEDIT4\r\n\r\n; made on C:\\\r\n[HKLM\\SOFTWARE\\\x8Akola]\r\n"
           "\"Ime\"=\"\x8E"
           "aba\"\r\n@=dword:7\r\n\"List\"=hex(7):61,00,\\\r\n  62,00,00\r\n";
    const auto result = RunTool({"reg", "import", file});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const Values values = ValuesOf(Hive::LocalMachine, "SOFTWARE\\\x8Akola");
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].second.data, (Bytes{0x8E, 'a', 'b', 'a'}));
    EXPECT_EQ(values[1].first, "");
    EXPECT_EQ(values[1].second.data, (Bytes{7, 0, 0, 0}));
    EXPECT_EQ(values[2].second.type, RegMultiSz);
    EXPECT_EQ(values[2].second.data, (Bytes{'a', 0, 'b', 0, 0}));
}

// UTF-16LE bytes of UTF-8 text, with the byte-order mark first.
std::string Utf16File(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (const char32_t c : platform::DecodeUtf8(utf8)) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

TEST(RegCommand, ImportTakesTheFilesOfTodaysRegistryEditor) {
    // Version 5 as the registry editor writes it: UTF-16LE with its mark, CRLF lines, and
    // text values in hex(2) and hex(7) as UTF-16LE bytes with their closing zeros.
    const std::string version5 = "Windows Registry Editor Version 5.00\r\n\r\n"
                                 "[HKEY_CURRENT_USER\\Software\\Vexmoor\\Nimbrel]\r\n"
                                 "\"WallpaperFolder\"=\"C:\\\\Obrázky\\\\Žabí\"\r\n"
                                 "\"Interval\"=dword:0000002d\r\n"
                                 "\"Path\"=hex(2):25,00,54,00,7d,01,00,00\r\n"
                                 "\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
                                 "\"Blob\"=hex:01,02\r\n";
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"UTF-16LE", Utf16File(version5)},
        {"UTF-8 with its mark", "\xEF\xBB\xBF" + version5},
        {"UTF-8", version5},
    };
    test::TempEnvironment environment;
    for (const auto& c : cases) {
        ASSERT_EQ(RunTool({"reg", "set", NimbrelKey, "WallpaperFolder", "sz", "old"}).exitCode, 0);
        const auto result = RunTool({"reg", "import", "-"}, c.bytes);
        ASSERT_EQ(result.exitCode, 0) << c.what << " " << result.err;
        const Values values = ValuesOf(Hive::CurrentUser, "Software\\Vexmoor\\Nimbrel");
        ASSERT_EQ(values.size(), 5u) << c.what;
        EXPECT_EQ(values[0].second.type, RegSz);
        const std::string folder = "C:\\Obr\xE1zky\\\x8E"
                                   "ab\xED";
        EXPECT_EQ(values[0].second.data, Bytes(folder.begin(), folder.end())) << c.what;
        EXPECT_EQ(values[1].second.data, (Bytes{45, 0, 0, 0})) << c.what;
        EXPECT_EQ(values[2].second.type, RegExpandSz);
        EXPECT_EQ(values[2].second.data, (Bytes{'%', 'T', 0x8E, 0})) << c.what;
        EXPECT_EQ(values[3].second.data, (Bytes{'a', 0, 'b', 0, 0})) << c.what;
        EXPECT_EQ(values[4].second.data, (Bytes{1, 2})) << c.what;
    }
    // What code page 1250 cannot hold is refused with its line, never stored as "?".
    for (const std::string& text :
         {Utf16File("Windows Registry Editor Version 5.00\r\n\r\n[HKCU\\S]\r\n\"a\"=\"日本\"\r\n"),
          std::string("REGEDIT4\n[HKCU\\S]\n\"a\"=\"1\"\n\"b\"=\"日本\"\n"),
          std::string(
              "Windows Registry Editor Version 5.00\n[HKCU\\S]\n\n\"a\"=hex(1):e5,65,00,00\n")}) {
        const auto result = RunTool({"reg", "import", "-"}, text);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_NE(result.err.find(":4: "), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("code page 1250 cannot hold"), std::string::npos) << result.err;
        RegKey key;
        EXPECT_EQ(key.Open(Hive::CurrentUser, "S"), ErrorFileNotFound);
    }
}

TEST(RegCommand, AnUnusableDatabaseIsReportedAndLeftAlone) {
    // An empty file too: a store is never empty, so it is a damaged (cut) one.
    for (const std::string& garbage : {std::string(4096, 'g'), std::string()}) {
        test::TempEnvironment environment;
        const std::string database = environment.Root() + "/registry.sqlite3";
        std::ofstream(database, std::ios::binary) << garbage;
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"reg", "get", NimbrelKey, "Interval"},
              std::vector<std::string>{"reg", "set", NimbrelKey, "Interval", "dword", "1"},
              std::vector<std::string>{"reg", "export"}}) {
            const auto result = RunTool(args);
            EXPECT_EQ(result.exitCode, 1) << args[1] << garbage.size();
            EXPECT_NE(result.err.find("registry.sqlite3 is damaged"), std::string::npos)
                << result.err;
        }
        EXPECT_EQ(test::HostFileBytes(database), garbage);
        EXPECT_FALSE(std::filesystem::exists(database + "-wal"));
    }
}

std::string ImportFile(int count) {
    std::string text = "REGEDIT4\n\n[" + std::string(NimbrelKey) + "]\n";
    for (int i = 0; i < count; ++i)
        text += "\"Value" + std::to_string(i) + "\"=\"" + std::string(1000, 'v') + "\"\n";
    return text;
}

TEST(RegCommand, TheStoreFileAloneHoldsEveryValueOnceNoProcessHasItOpen) {
    test::TempEnvironment environment;
    const auto imported = RunTool({"reg", "import", "-"}, ImportFile(200));
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    // The one file a user backs up, copied alone into another environment.
    test::TempEnvironment restored;
    std::filesystem::copy_file(environment.Root() + "/registry.sqlite3",
                               restored.Root() + "/registry.sqlite3");
    const auto got = RunTool({"reg", "get", NimbrelKey, "Value199"});
    ASSERT_EQ(got.exitCode, 0) << got.err;
    EXPECT_EQ(got.out, "\"Value199\"=\"" + std::string(1000, 'v') + "\"\n");
}

TEST(RegCommand, AnImportIsAllOrNothing) {
    test::TempEnvironment environment;
    {
        RegKey key;
        ASSERT_EQ(key.Create(Hive::CurrentUser, "Software\\Vexmoor\\Nimbrel"), ErrorSuccess);
        const Bytes before{'o', 'l', 'd'};
        ASSERT_EQ(key.SetValue("First", RegSz, before.data(), before.size()), ErrorSuccess);
    }
    // The store refuses one value in the middle of the file, as a full disk or a lock
    // taken by another program would.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((environment.Root() + "/registry.sqlite3").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER refuse BEFORE INSERT ON vals WHEN new.name = 'Refused' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    const auto result = RunTool({"reg", "import", "-"},
                                "REGEDIT4\n\n[HKCU\\Software\\Vexmoor\\Made]\n\"a\"=\"1\"\n\n[" +
                                    std::string(NimbrelKey) +
                                    "]\n\"First\"=\"new\"\n\"Added\"=\"x\"\n"
                                    "\"Refused\"=\"x\"\n\"Last\"=\"x\"\n");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("\"Refused\""), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("nothing was imported"), std::string::npos) << result.err;
    const Values values = ValuesOf(Hive::CurrentUser, "Software\\Vexmoor\\Nimbrel");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].second.data, (Bytes{'o', 'l', 'd'}));
    RegKey made;
    EXPECT_EQ(made.Open(Hive::CurrentUser, "Software\\Vexmoor\\Made"), ErrorFileNotFound);
}

} // namespace
} // namespace nimbrel::platform
