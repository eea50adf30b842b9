#include "platform/portable/dos_path.h"

#include <cctype>

namespace nimbrel::platform::portable {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string WithoutTrailingDotsAndSpaces(std::string_view name) {
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.remove_suffix(1);
    return std::string(name);
}

void AppendComponents(DosPath& path, std::string_view text) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = start;
        while (end < text.size() && !IsSeparator(text[end]))
            ++end;
        const std::string_view name = text.substr(start, end - start);
        if (name == "..") {
            if (!path.components.empty())
                path.components.pop_back();
        } else if (!name.empty() && name != ".") {
            std::string kept = WithoutTrailingDotsAndSpaces(name);
            if (!kept.empty())
                path.components.push_back(std::move(kept));
        }
        start = end + 1;
    }
}

} // namespace

std::optional<DosPath> AbsoluteDosPath(std::string_view text, const CurrentFolders& current) {
    if (text.empty() || (text.size() >= 2 && IsSeparator(text[0]) && IsSeparator(text[1])))
        return std::nullopt;
    DosPath path;
    std::string_view rest = text;
    if (text.size() >= 2 && IsDriveLetter(text[0]) && text[1] == ':') {
        path.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
        rest = text.substr(2);
    } else {
        path.drive = current.currentDrive;
    }
    if (rest.empty() || !IsSeparator(rest.front()))
        path.components = current.folderOf(path.drive);
    AppendComponents(path, rest);
    path.trailingSeparator = !path.components.empty() && !rest.empty() && IsSeparator(rest.back());
    return path;
}

std::string FormatDosPath(const DosPath& path) {
    std::string text{path.drive, ':', '\\'};
    for (std::size_t i = 0; i < path.components.size(); ++i) {
        if (i > 0)
            text.push_back('\\');
        text += path.components[i];
    }
    if (path.trailingSeparator)
        text.push_back('\\');
    return text;
}

bool HasInvalidNameCharacter(std::string_view name) {
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32)
            return true;
        switch (c) {
        case '*':
        case '?':
        case '<':
        case '>':
        case ':':
        case '"':
        case '|':
            return true;
        default:
            break;
        }
    }
    return false;
}

} // namespace nimbrel::platform::portable
