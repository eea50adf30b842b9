#pragma once
// The REGEDIT4 text format of registry keys and values, in code page 1250:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\Software\Vexmoor\Nimbrel]
//   "StretchWallpaper"="FitToScreen"
//   "Interval"=dword:0000003c
//   "Blob"=hex:00,ff
//   "Path"=hex(2):25,00
//
// A "text" value is a REG_SZ whose bytes are the text, without a terminating zero, as this
// program stores its strings; a REG_SZ holding a zero byte or a line break is written as
// hex(1) so that its bytes come back exactly. A dword is a REG_DWORD of four bytes;
// REG_BINARY is hex:, every other type hex(N): with N its type number in hex.
#include "platform/registry.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nimbrel::tool::regedit {

using platform::Hive;
using platform::RegValue;

struct KeyName {
    Hive hive = Hive::CurrentUser;
    std::string path; // below the hive, no leading backslash; empty for the hive itself
};

// "HKEY_CURRENT_USER\Software", "HKCU\Software", "HKLM" (any letter case); nothing for
// another hive or an empty name.
std::optional<KeyName> ParseKeyName(std::string_view text);
// "HKEY_LOCAL_MACHINE\SOFTWARE\X"
std::string FormatKeyName(const KeyName& key);

// The one line (continued with "\" when a hex list is long) of a value, without its end.
std::string FormatValue(std::string_view name, const RegValue& value);

struct KeyValues {
    KeyName key;
    std::vector<std::pair<std::string, RegValue>> values;
};

struct ParseError {
    int line = 0;
    std::string reason;
};

// The text of a registration file's bytes, in code page 1250: UTF-16 with its byte-order
// mark (as the registry editor of today's Windows writes them), UTF-8 with or without its
// mark (our exports), else code page 1250 itself (older Windows). Answers nothing and the
// line of the first character that code page 1250 cannot hold: it would be stored as "?".
std::optional<std::string> RegFileText(std::string_view bytes, ParseError& error);

// A whole registration text (code page 1250), "\n" or "\r\n" lines, headed "REGEDIT4" or
// "Windows Registry Editor Version 5.00"; in the second, the bytes of a hex(1), hex(2) or
// hex(7) value are UTF-16 text and are stored as code page 1250. Answers nothing and the
// first error (its line and reason) when the text is not one.
std::optional<std::vector<KeyValues>> ParseRegFile(std::string_view text, ParseError& error);

// One value as written after "=" ("\"text\"", "dword:...", "hex:...", "hex(N):...").
std::optional<RegValue> ParseValueData(std::string_view text, std::string& reason);

} // namespace nimbrel::tool::regedit
