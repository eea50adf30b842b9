// nimbrel-tool reg: the registry of the environment it runs on, in the REGEDIT4 format.
// Arguments and output are the host's text (UTF-8); the registry holds code page 1250.
#include "platform/codepage1250.h"
#include "platform/registry.h"
#include "platform/utf8.h"
#include "tools/command.h"
#include "tools/regedit_format.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

namespace nimbrel::tool {
namespace {

using platform::Hive;
using platform::RegKey;
using platform::RegValue;
using platform::WinError;

std::string WhyFailed(WinError error) {
    switch (error) {
    case platform::ErrorFileNotFound:
        return "not found";
    case platform::ErrorAccessDenied:
        return "access denied";
    case platform::ErrorBadDb:
        return platform::RegistryLocation() + " is damaged or unreadable";
    case platform::ErrorCantRead:
        return "the registry cannot be read (damaged or locked)";
    case platform::ErrorCantWrite:
        return "the registry cannot be written (locked or read-only)";
    default:
        return "error " + std::to_string(error);
    }
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "nimbrel-tool reg: %s\n", platform::Utf8FromCp1250(message).c_str());
    return 1;
}

int BadArgument(const std::string& message) {
    std::fprintf(stderr, "nimbrel-tool reg: %s\n", message.c_str());
    return Usage();
}

// Writes 1250 text to stdout as UTF-8; answers the exit code.
int Print(const std::string& text) {
    const std::string out = platform::Utf8FromCp1250(text);
    if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
        return Fail("cannot write the output");
    return 0;
}

std::optional<regedit::KeyName> KeyArgument(const std::string& argument) {
    return regedit::ParseKeyName(platform::Cp1250FromUtf8(argument));
}

std::string JoinPath(const std::string& parent, const std::string& child) {
    return parent.empty() ? child : parent + "\\" + child;
}

// The key, its values and then every subkey below it, in export order.
WinError ExportKey(const regedit::KeyName& name, const RegKey& key, std::string& out) {
    std::vector<std::pair<std::string, RegValue>> values;
    if (const WinError error = key.EnumValues(values))
        return error;
    // Appended piece by piece: GCC 12 at -O3 warns falsely on "[" + std::string&&.
    out += '[';
    out += regedit::FormatKeyName(name);
    out += "]\n";
    for (const auto& [valueName, value] : values)
        out += regedit::FormatValue(valueName, value) + "\n";
    out += "\n";
    std::vector<std::string> subKeys;
    if (const WinError error = key.EnumSubKeys(subKeys))
        return error;
    for (const std::string& subKey : subKeys) {
        const regedit::KeyName childName{name.hive, JoinPath(name.path, subKey)};
        RegKey child;
        if (const WinError error = child.Open(childName.hive, childName.path))
            return error;
        if (const WinError error = ExportKey(childName, child, out))
            return error;
    }
    return platform::ErrorSuccess;
}

int Export(const std::vector<std::string>& args) {
    std::vector<regedit::KeyName> roots;
    if (args.size() == 2) {
        const auto key = KeyArgument(args[1]);
        if (!key)
            return BadArgument("KEY must start with HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, "
                               "HKCU or HKLM");
        roots.push_back(*key);
    } else {
        roots = {{Hive::CurrentUser, ""}, {Hive::LocalMachine, ""}};
    }
    std::string out = "REGEDIT4\n\n";
    for (const regedit::KeyName& root : roots) {
        RegKey key;
        if (const WinError error = key.Open(root.hive, root.path))
            return Fail(regedit::FormatKeyName(root) + ": " + WhyFailed(error));
        if (const WinError error = ExportKey(root, key, out))
            return Fail(regedit::FormatKeyName(root) + ": " + WhyFailed(error));
    }
    return Print(out);
}

bool ReadInput(const std::string& fileName, std::string& text) {
    if (fileName == "-") {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream bytes;
    bytes << file.rdbuf();
    text = bytes.str();
    return !file.bad();
}

int Import(const std::vector<std::string>& args) {
    std::string text;
    if (!ReadInput(args[1], text))
        return Fail(args[1] + ": cannot be read: " + std::strerror(errno));
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    // Our own exports are UTF-8; a file that is not is taken as a 1250 file from Windows.
    if (platform::IsValidUtf8(text))
        text = platform::Cp1250FromUtf8(text);
    regedit::ParseError error;
    const auto keys = regedit::ParseRegFile(text, error);
    if (!keys)
        return Fail(args[1] + ":" + std::to_string(error.line) + ": " + error.reason);
    // All of the file or nothing: a failure half-way leaves the store as it was.
    platform::RegTransaction transaction;
    if (const WinError failed = transaction.Begin())
        return Fail(args[1] + ": " + WhyFailed(failed));
    for (const regedit::KeyValues& entry : *keys) {
        RegKey key;
        if (const WinError failed = key.Create(entry.key.hive, entry.key.path))
            return Fail(regedit::FormatKeyName(entry.key) + ": " + WhyFailed(failed) +
                        "; nothing was imported");
        for (const auto& [name, value] : entry.values) {
            if (const WinError failed =
                    key.SetValue(name, value.type, value.data.data(), value.data.size()))
                return Fail(regedit::FormatKeyName(entry.key) + ": \"" + name +
                            "\": " + WhyFailed(failed) + "; nothing was imported");
        }
    }
    if (const WinError failed = transaction.Commit())
        return Fail(args[1] + ": " + WhyFailed(failed) + "; nothing was imported");
    return 0;
}

int Get(const std::vector<std::string>& args) {
    const auto name = KeyArgument(args[1]);
    if (!name)
        return BadArgument("KEY must start with HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, "
                           "HKCU or HKLM");
    const std::string valueName = platform::Cp1250FromUtf8(args[2]);
    RegKey key;
    if (const WinError error = key.Open(name->hive, name->path))
        return Fail(regedit::FormatKeyName(*name) + ": " + WhyFailed(error));
    RegValue value;
    if (const WinError error = key.QueryValue(valueName, value))
        return Fail(regedit::FormatKeyName(*name) + ": value \"" + valueName +
                    "\": " + WhyFailed(error));
    return Print(regedit::FormatValue(valueName, value) + "\n");
}

// A dword in decimal (signed or unsigned 32 bits) or 0x-hex.
std::optional<std::uint32_t> ParseDword(const std::string& text) {
    if (text.empty())
        return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    errno = 0;
    char* end = nullptr;
    const long long number = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0' || number < -2147483648LL || number > 4294967295LL ||
        (hex && text[2] == '-'))
        return std::nullopt;
    return static_cast<std::uint32_t>(number);
}

// Hex pairs, optionally separated by commas or spaces ("0aff", "0a,ff", "0a ff").
std::optional<std::vector<std::uint8_t>> ParseBinary(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (c == ',' || c == ' ')
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        digits.push_back(c);
    }
    if (digits.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

int Set(const std::vector<std::string>& args) {
    const auto name = KeyArgument(args[1]);
    if (!name)
        return BadArgument("KEY must start with HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, "
                           "HKCU or HKLM");
    const std::string valueName = platform::Cp1250FromUtf8(args[2]);
    const std::string& type = args[3];
    const std::string& data = args[4];
    RegValue value;
    if (type == "sz" || type == "expand_sz") {
        value.type = type == "sz" ? platform::RegSz : platform::RegExpandSz;
        const std::string text = platform::Cp1250FromUtf8(data);
        value.data.assign(text.begin(), text.end());
    } else if (type == "dword") {
        const auto number = ParseDword(data);
        if (!number)
            return BadArgument("a dword is a 32-bit number in decimal or 0x-hex: " + data);
        value.type = platform::RegDword;
        value.data = {static_cast<std::uint8_t>(*number), static_cast<std::uint8_t>(*number >> 8),
                      static_cast<std::uint8_t>(*number >> 16),
                      static_cast<std::uint8_t>(*number >> 24)};
    } else if (type == "binary") {
        const auto bytes = ParseBinary(data);
        if (!bytes)
            return BadArgument("binary data is hex pairs: " + data);
        value.type = platform::RegBinary;
        value.data = *bytes;
    } else {
        return BadArgument("TYPE is sz, expand_sz, dword or binary");
    }
    RegKey key;
    if (const WinError error = key.Create(name->hive, name->path))
        return Fail(regedit::FormatKeyName(*name) + ": " + WhyFailed(error));
    if (const WinError error =
            key.SetValue(valueName, value.type, value.data.data(), value.data.size()))
        return Fail(regedit::FormatKeyName(*name) + ": value \"" + valueName +
                    "\": " + WhyFailed(error));
    return 0;
}

int RunReg(const std::vector<std::string>& args) {
    if (args.empty())
        return Usage();
    const std::string& action = args[0];
    if (action == "export" && (args.size() == 1 || args.size() == 2))
        return Export(args);
    if (action == "import" && args.size() == 2)
        return Import(args);
    if (action == "get" && args.size() == 3)
        return Get(args);
    if (action == "set" && args.size() == 5)
        return Set(args);
    return Usage();
}

const bool registered = RegisterCommand({
    "reg",
    "  nimbrel-tool reg export [KEY]    the registry (or KEY and below) as REGEDIT4 text\n"
    "  nimbrel-tool reg import FILE     values of a REGEDIT4 file (- for standard input)\n"
    "  nimbrel-tool reg get KEY VALUE   one value, as its REGEDIT4 line\n"
    "  nimbrel-tool reg set KEY VALUE sz|expand_sz|dword|binary DATA\n"
    "                                   KEY: HKEY_CURRENT_USER\\... or HKCU\\..., HKLM\\...\n",
    RunReg,
});

} // namespace
} // namespace nimbrel::tool
