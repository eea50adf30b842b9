#pragma once
// The text of a profile (INI) file, read and edited with Windows' rules: section and key
// names compare case-insensitively, a value is trimmed and loses one pair of enclosing
// quotes, lines starting with ';' are comments. An edit changes one line (or adds lines)
// and keeps every other byte, line endings included.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::platform::portable {

class IniDocument {
public:
    explicit IniDocument(std::string_view text);

    // The value of the first matching key of the first matching section.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Replaces the key's value, or adds the key at the end of its section, or adds the
    // section at the end of the document.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Text() const;

private:
    struct Line {
        std::string content;    // without its line ending
        std::string terminator; // "\r\n", "\n" or "" (a last line without one)
    };
    // Index of the first line of the section's body, and one past its last line.
    struct Span {
        std::size_t begin;
        std::size_t end;
    };
    std::optional<Span> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(const Span& span, std::string_view key) const;
    void InsertLine(std::size_t at, std::string content);

    std::vector<Line> lines_;
    std::string newline_; // what new lines end with: the file's own style, CRLF when new
};

} // namespace nimbrel::platform::portable
