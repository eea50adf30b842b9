#include "tools/regedit_format.h"

#include "platform/codepage1250.h"
#include "platform/utf8.h"

#include <cctype>
#include <cstdio>

namespace nimbrel::tool::regedit {

using namespace platform; // the value types (RegSz, ...) and the 1250 text routines

namespace {

constexpr std::size_t WrapColumn = 76;
constexpr std::string_view Version4Header = "REGEDIT4";
constexpr std::string_view Version5Header = "Windows Registry Editor Version 5.00";
constexpr char HeaderRule[] =
    "the first line must be REGEDIT4 or Windows Registry Editor Version 5.00";
constexpr char NotIn1250[] = "has characters that code page 1250 cannot hold";

// Code points into code page 1250 exactly; else the line of the first that cannot be held.
std::optional<std::string> Cp1250Exactly(std::u32string_view text, ParseError& error) {
    std::string out;
    out.reserve(text.size());
    int line = 1;
    for (const char32_t c : text) {
        const unsigned char byte = Cp1250FromUnicode(c);
        if (byte == '?' && c != U'?') {
            error.line = line;
            error.reason = NotIn1250;
            return std::nullopt;
        }
        if (c == U'\n')
            ++line;
        out.push_back(static_cast<char>(byte));
    }
    return out;
}

// UTF-16 code units (little- or big-endian) as code points; an unpaired surrogate stays
// as it is, which no code page holds.
std::u32string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u32string text;
    text.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                text.push_back(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        text.push_back(c);
    }
    return text;
}

struct HiveName {
    const char* longName;
    const char* shortName;
    Hive hive;
};
constexpr HiveName HiveNames[] = {
    {"HKEY_CURRENT_USER", "HKCU", Hive::CurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", Hive::LocalMachine},
};

bool SameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"')
            quoted.push_back('\\');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

bool WritableAsText(const std::vector<std::uint8_t>& data) {
    for (std::uint8_t byte : data)
        if (byte == 0 || byte == '\r' || byte == '\n')
            return false;
    return true;
}

std::string HexList(std::string line, const std::vector<std::uint8_t>& data) {
    char pair[4];
    for (std::size_t i = 0; i < data.size(); ++i) {
        std::snprintf(pair, sizeof pair, "%02x", data[i]);
        line += pair;
        if (i + 1 < data.size()) {
            line.push_back(',');
            const std::size_t lineStart =
                line.rfind('\n') == std::string::npos ? 0 : line.rfind('\n') + 1;
            if (line.size() - lineStart >= WrapColumn)
                line += "\\\n  ";
        }
    }
    return line;
}

// A quoted text at the start of `text`, unescaped; `rest` is what follows the closing quote.
std::optional<std::string> ParseQuoted(std::string_view text, std::string_view& rest) {
    if (text.empty() || text.front() != '"')
        return std::nullopt;
    std::string out;
    for (std::size_t i = 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            rest = text.substr(i + 1);
            return out;
        }
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"'))
            ++i;
        out.push_back(text[i]);
    }
    return std::nullopt;
}

std::optional<std::uint32_t> ParseHexNumber(std::string_view text, std::size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 16 + static_cast<std::uint32_t>(
                                 std::isdigit(static_cast<unsigned char>(c))
                                     ? c - '0'
                                     : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
    }
    return value;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    text = Trim(text);
    if (text.empty())
        return bytes;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos)
            end = text.size();
        const auto byte = ParseHexNumber(Trim(text.substr(start, end - start)), 2);
        if (!byte)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(*byte));
        start = end + 1;
    }
    return bytes;
}

// The logical lines of a text: a line ending in "\" continues on the next one.
std::vector<std::pair<int, std::string>> LogicalLines(std::string_view text) {
    std::vector<std::pair<int, std::string>> lines;
    int number = 0;
    bool continuing = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = Trim(text.substr(start, end - start));
        start = end + 1;
        ++number;
        // Only a hex list is broken over lines: a text ends in a quote, a key in "]", and a
        // comment ends at its line whatever its last character.
        const bool comment = !continuing && !line.empty() && line.front() == ';';
        const bool continues = !comment && !line.empty() && line.back() == '\\';
        if (continues)
            line.remove_suffix(1);
        if (continuing)
            lines.back().second += std::string(line);
        else
            lines.emplace_back(number, std::string(line));
        continuing = continues;
    }
    return lines;
}

// The bytes of a version 5 file's hex(1), hex(2) or hex(7) value, UTF-16LE text, as code
// page 1250 text of as many characters (terminating zeros included).
std::optional<std::vector<std::uint8_t>> Cp1250FromUtf16Value(const std::vector<std::uint8_t>& data,
                                                              std::string& reason) {
    if (data.size() % 2 != 0) {
        reason = "a text value of a version 5 file is UTF-16: an even number of bytes";
        return std::nullopt;
    }
    ParseError error;
    const auto text = Cp1250Exactly(
        DecodeUtf16({reinterpret_cast<const char*>(data.data()), data.size()}, false), error);
    if (!text) {
        reason = std::string("the value ") + NotIn1250;
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(text->begin(), text->end());
}

bool IsTextType(std::uint32_t type) {
    return type == RegSz || type == RegExpandSz || type == RegMultiSz;
}

} // namespace

std::optional<std::string> RegFileText(std::string_view bytes, ParseError& error) {
    if (bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF") {
        const bool bigEndian = bytes[0] == '\xFE';
        if (bytes.size() % 2 != 0) {
            error.line = 1;
            error.reason = "a UTF-16 file of an odd number of bytes (cut short)";
            return std::nullopt;
        }
        return Cp1250Exactly(DecodeUtf16(bytes.substr(2), bigEndian), error);
    }
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (IsValidUtf8(bytes))
        return Cp1250Exactly(DecodeUtf8(bytes), error);
    return std::string(bytes);
}

std::optional<KeyName> ParseKeyName(std::string_view text) {
    const std::size_t separator = text.find('\\');
    const std::string_view hive = text.substr(0, separator);
    for (const HiveName& name : HiveNames) {
        if (!SameAscii(hive, name.longName) && !SameAscii(hive, name.shortName))
            continue;
        KeyName key;
        key.hive = name.hive;
        if (separator != std::string_view::npos) {
            std::string_view path = text.substr(separator + 1);
            while (!path.empty() && path.back() == '\\')
                path.remove_suffix(1);
            key.path = std::string(path);
        }
        return key;
    }
    return std::nullopt;
}

std::string FormatKeyName(const KeyName& key) {
    for (const HiveName& name : HiveNames) {
        if (name.hive == key.hive)
            return key.path.empty() ? std::string(name.longName)
                                    : std::string(name.longName) + "\\" + key.path;
    }
    return key.path;
}

std::string FormatValue(std::string_view name, const RegValue& value) {
    std::string line = name.empty() ? "@=" : Quoted(name) + "=";
    if (value.type == RegSz && WritableAsText(value.data))
        return line + Quoted(std::string(value.data.begin(), value.data.end()));
    if (value.type == RegDword && value.data.size() == 4) {
        const std::uint32_t number = value.data[0] | (value.data[1] << 8) | (value.data[2] << 16) |
                                     (static_cast<std::uint32_t>(value.data[3]) << 24);
        char text[16];
        std::snprintf(text, sizeof text, "dword:%08x", number);
        return line + text;
    }
    if (value.type == RegBinary)
        return HexList(line + "hex:", value.data);
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    return HexList(line + prefix, value.data);
}

std::optional<RegValue> ParseValueData(std::string_view text, std::string& reason) {
    text = Trim(text);
    RegValue value;
    if (!text.empty() && text.front() == '"') {
        std::string_view rest;
        const auto content = ParseQuoted(text, rest);
        if (!content || !Trim(rest).empty()) {
            reason = "a text value must be one quoted string";
            return std::nullopt;
        }
        value.type = RegSz;
        value.data.assign(content->begin(), content->end());
        return value;
    }
    if (SameAscii(text.substr(0, 6), "dword:")) {
        const auto number = ParseHexNumber(text.substr(6), 8);
        if (!number) {
            reason = "a dword needs 1 to 8 hex digits";
            return std::nullopt;
        }
        value.type = RegDword;
        value.data = {static_cast<std::uint8_t>(*number), static_cast<std::uint8_t>(*number >> 8),
                      static_cast<std::uint8_t>(*number >> 16),
                      static_cast<std::uint8_t>(*number >> 24)};
        return value;
    }
    if (SameAscii(text.substr(0, 3), "hex")) {
        std::string_view rest = text.substr(3);
        value.type = RegBinary;
        if (!rest.empty() && rest.front() == '(') {
            const std::size_t close = rest.find(')');
            const auto type = close == std::string_view::npos
                                  ? std::nullopt
                                  : ParseHexNumber(rest.substr(1, close - 1), 8);
            if (!type) {
                reason = "hex( needs a type number in hex and a closing )";
                return std::nullopt;
            }
            value.type = *type;
            rest = rest.substr(close + 1);
        }
        if (rest.empty() || rest.front() != ':') {
            reason = "a hex value needs a colon before its bytes";
            return std::nullopt;
        }
        const auto bytes = ParseHexBytes(rest.substr(1));
        if (!bytes) {
            reason = "hex bytes must be two-digit hex numbers separated by commas";
            return std::nullopt;
        }
        value.data = *bytes;
        return value;
    }
    if (text == "-")
        reason = "deleting values is not supported";
    else
        reason = "a value must be \"text\", dword:, hex: or hex(N):";
    return std::nullopt;
}

std::optional<std::vector<KeyValues>> ParseRegFile(std::string_view text, ParseError& error) {
    std::vector<KeyValues> keys;
    bool header = false;
    bool version5 = false;
    for (const auto& [number, line] : LogicalLines(text)) {
        const auto fail = [&error, number = number](std::string reason) {
            error.line = number;
            error.reason = std::move(reason);
            return std::nullopt;
        };
        if (line.empty() || line.front() == ';')
            continue;
        if (!header) {
            if (line != Version4Header && line != Version5Header)
                return fail(HeaderRule);
            header = true;
            version5 = line == Version5Header;
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3)
                return fail("a key line must be [KEY]");
            const std::string_view name = std::string_view(line).substr(1, line.size() - 2);
            if (name.front() == '-')
                return fail("deleting keys is not supported");
            const auto key = ParseKeyName(name);
            if (!key)
                return fail("a key must start with HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE");
            keys.push_back({*key, {}});
            continue;
        }
        if (keys.empty())
            return fail("a value must follow a [KEY] line");
        std::string name;
        std::string_view rest;
        if (line.front() == '@') {
            rest = std::string_view(line).substr(1);
        } else {
            const auto quoted = ParseQuoted(line, rest);
            if (!quoted)
                return fail("a value line must start with \"NAME\" or @");
            name = *quoted;
        }
        rest = Trim(rest);
        if (rest.empty() || rest.front() != '=')
            return fail("a value name must be followed by =");
        std::string reason;
        auto value = ParseValueData(rest.substr(1), reason);
        if (!value)
            return fail(reason);
        if (version5 && IsTextType(value->type) && !rest.substr(1).empty() &&
            Trim(rest.substr(1)).front() != '"') {
            auto text = Cp1250FromUtf16Value(value->data, reason);
            if (!text)
                return fail(reason);
            value->data = std::move(*text);
        }
        keys.back().values.emplace_back(std::move(name), std::move(*value));
    }
    if (!header) {
        error.line = 1;
        error.reason = HeaderRule;
        return std::nullopt;
    }
    return keys;
}

} // namespace nimbrel::tool::regedit
