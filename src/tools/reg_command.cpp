// nimbrel-tool reg: the registry of the environment it runs on, in the REGEDIT4 format.
// Arguments and output are the host's text (UTF-8); the registry holds code page 1250.
#include "platform/codepage1250.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/utf8.h"
#include "sysutil/text_routines.h"
#include "tools/arguments.h"
#include "tools/command.h"
#include "tools/file_checks.h"
#include "tools/regedit_format.h"
#include "tools/tool_output.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace nimbrel::tool {
namespace {

using platform::Hive;
using platform::RegKey;
using platform::RegValue;
using platform::WinError;

#ifndef _WIN32
// Why the store's file cannot be written when it is not damage: its folder or the file
// itself is read-only (or the folder cannot be made); nothing when they are writable.
std::optional<std::string> ReadOnlyStore() {
    const std::string file = platform::RegistryLocation();
    const std::string folder = file.substr(0, file.find_last_of('/') + 1);
    if (::access(folder.c_str(), W_OK) != 0)
        return errno == ENOENT ? "the store folder " + folder + " cannot be made"
                               : "the store folder " + folder + " is read-only";
    if (::access(file.c_str(), F_OK) == 0 && ::access(file.c_str(), W_OK) != 0)
        return file + " is read-only";
    return std::nullopt;
}
#endif

// Host text.
std::string WhyFailed(WinError error) {
#ifndef _WIN32
    if (error == platform::ErrorAccessDenied || error == platform::ErrorBadDb ||
        error == platform::ErrorCantWrite) {
        if (const auto readOnly = ReadOnlyStore())
            return *readOnly;
    }
#endif
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
    case platform::ErrorDiskFull:
    case platform::ErrorHandleDiskFull:
        return "the disk holding " + platform::RegistryLocation() +
               " is full (No space left on device)";
    default:
        return "error " + std::to_string(error);
    }
}

// A failure about a key or value: `what` is code page 1250 (a key name), `why` host text.
[[noreturn]] void Fail(const std::string& what, const std::string& why) {
    throw ToolError(Shown(what) + ": " + why);
}

regedit::KeyName KeyArgument(const std::string& argument) {
    const auto key = regedit::ParseKeyName(TextArgument(argument, "KEY"));
    if (!key)
        throw UsageError("KEY must start with HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKCU or "
                         "HKLM: " +
                         argument);
    return *key;
}

// The key, its values and then every subkey below it, in export order. A subkey that
// cannot be opened (gone since it was listed, not open to this user, or named with
// characters of no code page 1250 name) is left out with a warning.
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
        const regedit::KeyName childName{name.hive, ChildPath(name.path, subKey)};
        RegKey child;
        WinError error = child.Open(childName.hive, childName.path);
        if (error == platform::ErrorSuccess)
            error = ExportKey(childName, child, out);
        if (error != platform::ErrorSuccess)
            Warn(Shown(regedit::FormatKeyName(childName)), "left out: " + WhyFailed(error));
    }
    return platform::ErrorSuccess;
}

int Export(const std::vector<std::string>& args) {
    std::vector<regedit::KeyName> roots;
    if (args.size() == 2)
        roots.push_back(KeyArgument(args[1]));
    else
        roots = {{Hive::CurrentUser, ""}, {Hive::LocalMachine, ""}};
    std::string out = "REGEDIT4\n\n";
    for (const regedit::KeyName& root : roots) {
        RegKey key;
        if (const WinError error = key.Open(root.hive, root.path))
            Fail(regedit::FormatKeyName(root), WhyFailed(error));
        if (const WinError error = ExportKey(root, key, out))
            Fail(regedit::FormatKeyName(root), WhyFailed(error));
    }
    WriteOut(Shown(out));
    FinishOutput();
    return 0;
}

int Import(const std::vector<std::string>& args) {
    const std::string& fileName =
        IsStandardStream(args[1]) ? std::string("standard input") : args[1];
    regedit::ParseError error;
    const auto text = regedit::RegFileText(ReadInputFile(args[1]), error);
    const auto keys = text ? regedit::ParseRegFile(*text, error) : std::nullopt;
    if (!keys)
        throw ToolError(fileName + ":" + std::to_string(error.line) + ": " + Shown(error.reason) +
                        "; nothing was imported");
    // All of the file or nothing: a failure half-way leaves the store as it was.
    platform::RegTransaction transaction;
    if (const WinError failed = transaction.Begin())
        throw ToolError(fileName + ": " + WhyFailed(failed) + "; nothing was imported");
    for (const regedit::KeyValues& entry : *keys) {
        RegKey key;
        if (const WinError failed = key.Create(entry.key.hive, entry.key.path))
            Fail(regedit::FormatKeyName(entry.key),
                 WhyFailed(failed) + "; nothing was imported from " + fileName);
        for (const auto& [name, value] : entry.values) {
            if (const WinError failed =
                    key.SetValue(name, value.type, value.data.data(), value.data.size()))
                Fail(regedit::FormatKeyName(entry.key) + ": value \"" + name + "\"",
                     WhyFailed(failed) + "; nothing was imported from " + fileName);
        }
    }
    if (const WinError failed = transaction.Commit())
        throw ToolError(fileName + ": " + WhyFailed(failed) + "; nothing was imported");
    return 0;
}

int Get(const std::vector<std::string>& args) {
    const regedit::KeyName name = KeyArgument(args[1]);
    const std::string valueName = TextArgument(args[2], "VALUE");
    RegKey key;
    if (const WinError error = key.Open(name.hive, name.path))
        Fail(regedit::FormatKeyName(name), WhyFailed(error));
    RegValue value;
    if (const WinError error = key.QueryValue(valueName, value))
        Fail(regedit::FormatKeyName(name) + ": value \"" + valueName + "\"", WhyFailed(error));
    WriteOut(Shown(regedit::FormatValue(valueName, value) + "\n"));
    FinishOutput();
    return 0;
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
    const regedit::KeyName name = KeyArgument(args[1]);
    const std::string valueName = TextArgument(args[2], "VALUE");
    const std::string& type = args[3];
    const std::string& data = args[4];
    RegValue value;
    if (type == "sz" || type == "expand_sz") {
        value.type = type == "sz" ? platform::RegSz : platform::RegExpandSz;
        const std::string text = TextArgument(data, "the text");
        value.data.assign(text.begin(), text.end());
    } else if (type == "dword") {
        const auto number = ParseDword(data);
        if (!number)
            throw UsageError("a dword is a 32-bit number in decimal or 0x-hex: " + data);
        value.type = platform::RegDword;
        value.data = {static_cast<std::uint8_t>(*number), static_cast<std::uint8_t>(*number >> 8),
                      static_cast<std::uint8_t>(*number >> 16),
                      static_cast<std::uint8_t>(*number >> 24)};
    } else if (type == "binary") {
        const auto bytes = ParseBinary(data);
        if (!bytes)
            throw UsageError("binary data is hex pairs: " + data);
        value.type = platform::RegBinary;
        value.data = *bytes;
    } else {
        throw UsageError("TYPE is sz, expand_sz, dword or binary, not " + type);
    }
    RegKey key;
    if (const WinError error = key.Create(name.hive, name.path))
        Fail(regedit::FormatKeyName(name), WhyFailed(error));
    if (const WinError error =
            key.SetValue(valueName, value.type, value.data.data(), value.data.size()))
        Fail(regedit::FormatKeyName(name) + ": value \"" + valueName + "\"", WhyFailed(error));
    return 0;
}

int RunReg(const std::vector<std::string>& given) {
    // "--" lets a DATA start with "-".
    std::vector<std::string> args;
    bool optionsEnded = false;
    for (const std::string& arg : given) {
        if (!optionsEnded && arg == "--")
            optionsEnded = true;
        else
            args.push_back(arg);
    }
    if (args.empty())
        throw UsageError("an action is missing: export, import, get or set");
    const std::string& action = args[0];
    Options operands;
    operands.operands.assign(args.begin() + 1, args.end());
    if (action == "export") {
        if (operands.operands.size() > 1)
            RequireOperands(operands, {"[KEY]"});
        return Export(args);
    }
    if (action == "import") {
        RequireOperands(operands, {"FILE"});
        return Import(args);
    }
    if (action == "get") {
        RequireOperands(operands, {"KEY", "VALUE"});
        return Get(args);
    }
    if (action == "set") {
        RequireOperands(operands, {"KEY", "VALUE", "TYPE", "DATA"});
        return Set(args);
    }
    throw UsageError("unknown action '" + action + "'");
}

const bool registered = RegisterCommand({
    "reg",
    "  nimbrel-tool reg export [KEY]    the registry (or KEY and below) as REGEDIT4 text\n"
    "  nimbrel-tool reg import FILE     values of a REGEDIT4 file (- for standard input)\n"
    "  nimbrel-tool reg get KEY VALUE   one value, as its REGEDIT4 line\n"
    "  nimbrel-tool reg set KEY VALUE sz|expand_sz|dword|binary DATA\n"
    "                                   KEY: HKEY_CURRENT_USER\\... or HKCU\\..., HKLM\\...\n",
    "The registry holds code page 1250 text: a KEY, VALUE or text that it cannot hold is\n"
    "refused. A dword is decimal or 0x-hex, binary data hex pairs (0a,ff); put -- before a\n"
    "DATA that starts with -. An import is all of the file or nothing.\n"
    "examples:\n"
    "  nimbrel-tool reg export 'HKCU\\Software\\Vexmoor\\Nimbrel' > nimbrel.reg\n"
    "  nimbrel-tool reg import nimbrel.reg\n"
    "  nimbrel-tool reg get 'HKCU\\Software\\Vexmoor\\Nimbrel' Interval\n"
    "  nimbrel-tool reg set 'HKCU\\Software\\Vexmoor\\Nimbrel' Interval dword 45\n",
    RunReg,
});

} // namespace
} // namespace nimbrel::tool
