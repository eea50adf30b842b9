#include "platform/portable/ini_document.h"

#include "platform/portable/case_fold.h"

namespace nimbrel::platform::portable {
namespace {

bool IsBlankChar(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlankChar(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlankChar(text.back()))
        text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return FoldedFromCp1250(a) == FoldedFromCp1250(b);
}

// The section name of a "[name]" line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    const std::size_t close = line.find(']');
    return Trim(line.substr(0, close));
}

// The key of a "key=value" line; comments and other lines have none.
std::optional<std::string_view> KeyName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() == ';')
        return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(0, equals));
}

std::string ValueOf(std::string_view line) {
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

} // namespace

IniDocument::IniDocument(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        Line line;
        if (end == std::string_view::npos) {
            line.content = std::string(text.substr(start));
            start = text.size();
        } else {
            std::string_view content = text.substr(start, end - start);
            line.terminator = "\n";
            if (!content.empty() && content.back() == '\r') {
                content.remove_suffix(1);
                line.terminator = "\r\n";
            }
            line.content = std::string(content);
            start = end + 1;
        }
        lines_.push_back(std::move(line));
    }
    newline_ = "\r\n";
    for (const Line& line : lines_) {
        if (!line.terminator.empty()) {
            newline_ = line.terminator;
            break;
        }
    }
}

std::optional<IniDocument::Span> IniDocument::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = SectionName(lines_[i].content);
        if (!name || !SameName(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && !SectionName(lines_[end].content))
            ++end;
        return Span{i + 1, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::FindKey(const Span& span, std::string_view key) const {
    for (std::size_t i = span.begin; i < span.end; ++i) {
        const auto name = KeyName(lines_[i].content);
        if (name && SameName(*name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const {
    const auto span = FindSection(section);
    if (!span)
        return std::nullopt;
    const auto line = FindKey(*span, key);
    if (!line)
        return std::nullopt;
    return ValueOf(lines_[*line].content);
}

void IniDocument::InsertLine(std::size_t at, std::string content) {
    if (at > 0 && lines_[at - 1].terminator.empty())
        lines_[at - 1].terminator = newline_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                  Line{std::move(content), newline_});
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
    const auto span = FindSection(section);
    if (!span) {
        if (!lines_.empty() && !Trim(lines_.back().content).empty())
            InsertLine(lines_.size(), "");
        InsertLine(lines_.size(), "[" + std::string(section) + "]");
        InsertLine(lines_.size(), std::string(key) + "=" + std::string(value));
        return;
    }
    if (const auto line = FindKey(*span, key)) {
        const std::string name(*KeyName(lines_[*line].content));
        lines_[*line].content = name + "=" + std::string(value);
        return;
    }
    // After the section's last non-blank line, so blank lines keep separating sections.
    std::size_t at = span->end;
    while (at > span->begin && Trim(lines_[at - 1].content).empty())
        --at;
    InsertLine(at, std::string(key) + "=" + std::string(value));
}

std::string IniDocument::Text() const {
    std::string text;
    for (const Line& line : lines_)
        text += line.content + line.terminator;
    return text;
}

} // namespace nimbrel::platform::portable
