// nimbrel-tool.exe as Windows runs it: arguments from the wide command line, whatever the
// ANSI code page, brought into code page 1250; the whole registry exported.
#include "platform/codepage1250.h"
#include "platform/registry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

struct ToolResult {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out;
    std::string err;
};

std::wstring Wide(const std::string& utf8) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

std::wstring ToolPath() {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"nimbrel-tool.exe";
}

std::string Contents(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

// Quoted as CommandLineToArgvW takes it apart (no argument here holds a quote).
ToolResult RunTool(const std::vector<std::string>& args) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring out = std::wstring(folder) + L"nimbrel-tool-test.out";
    const std::wstring err = std::wstring(folder) + L"nimbrel-tool-test.err";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE outFile = CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    const HANDLE errFile = CreateFileW(err.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::wstring command = L"\"" + ToolPath() + L"\"";
    for (const std::string& arg : args)
        command += L" \"" + Wide(arg) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outFile;
    startup.hStdError = errFile;
    PROCESS_INFORMATION process{};
    ToolResult result;
    if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, 120000);
        GetExitCodeProcess(process.hProcess, &result.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(outFile);
    CloseHandle(errFile);
    result.out = Contents(out);
    result.err = Contents(err);
    DeleteFileW(out.c_str());
    DeleteFileW(err.c_str());
    return result;
}

constexpr char TestKey[] = "Software\\Vexmoor\\NimbrelToolTest";

struct TestKeyCleanup {
    ~TestKeyCleanup() { RegDeleteTreeA(HKEY_CURRENT_USER, TestKey); }
};

TEST(WindowsTool, TextArgumentsArriveInCodePage1250WhateverTheirCharacters) {
    const TestKeyCleanup cleanup;
    const std::string key = std::string("HKCU\\") + TestKey;
    const struct {
        const char* value; // UTF-8
    } cases[] = {{"Žluťoučký kůň"}, {"čaj ß €"}, {"plain"}};
    for (const auto& c : cases) {
        const auto set = RunTool({"reg", "set", key, "Kůň", "sz", c.value});
        ASSERT_EQ(set.exitCode, 0u) << c.value << " " << set.err;
        // Stored as the program's 1250 text, read back as the host's text.
        platform::RegKey stored;
        ASSERT_EQ(stored.Open(platform::Hive::CurrentUser, TestKey), platform::ErrorSuccess);
        platform::RegValue value;
        ASSERT_EQ(stored.QueryValue(platform::Cp1250FromUtf8("Kůň"), value),
                  platform::ErrorSuccess);
        EXPECT_EQ(std::string(value.data.begin(), value.data.end()),
                  platform::Cp1250FromUtf8(c.value));
        const auto get = RunTool({"reg", "get", key, "Kůň"});
        EXPECT_EQ(get.exitCode, 0u) << get.err;
        EXPECT_EQ(get.out, std::string("\"Kůň\"=\"") + c.value + "\"\r\n");
    }
    // Text that code page 1250 cannot hold is refused, not stored as "?".
    const auto refused = RunTool({"reg", "set", key, "Kůň", "sz", "日本"});
    EXPECT_EQ(refused.exitCode, 1u);
    EXPECT_NE(refused.err.find("code page 1250"), std::string::npos) << refused.err;
}

TEST(WindowsTool, ExportWithoutAKeyExportsBothHives) {
    const TestKeyCleanup cleanup;
    ASSERT_EQ(RunTool({"reg", "set", std::string("HKCU\\") + TestKey, "Interval", "dword", "60"})
                  .exitCode,
              0u);
    const auto result = RunTool({"reg", "export"});
    EXPECT_EQ(result.exitCode, 0u) << result.err.substr(0, 2000);
    EXPECT_EQ(result.out.rfind("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER]\r\n", 0), 0u)
        << result.out.substr(0, 200);
    EXPECT_NE(result.out.find(std::string("\r\n[HKEY_CURRENT_USER\\") + TestKey +
                              "]\r\n\"Interval\"=dword:0000003c\r\n"),
              std::string::npos);
    EXPECT_NE(result.out.find("\r\n[HKEY_LOCAL_MACHINE]\r\n"), std::string::npos);
}

} // namespace
} // namespace nimbrel
