#include "platform/portable/drive_table.h"

#include "platform/portable/environment.h"

#include <cctype>
#include <filesystem>

namespace nimbrel::platform::portable {
namespace {

int IndexOf(char letter) {
    const int upper = std::toupper(static_cast<unsigned char>(letter));
    return (upper >= 'A' && upper <= 'Z') ? upper - 'A' : -1;
}

std::string_view Trim(std::string_view text) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string NormalFolder(std::string_view folder) {
    std::string normal = std::filesystem::path(folder).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal;
}

[[noreturn]] void Refuse(std::string_view fileName, int line, const std::string& reason) {
    throw EnvironmentError(std::string(fileName) + ":" + std::to_string(line) + ": " + reason);
}

} // namespace

DriveTable DriveTable::Default() {
    DriveTable table;
    table.folders_[IndexOf('C')] = "/";
    return table;
}

DriveTable DriveTable::Parse(std::string_view text, std::string_view fileName) {
    DriveTable table;
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.size() < 2 || IndexOf(line[0]) < 0 || line[1] != ':')
            Refuse(fileName, lineNumber,
                   "expected a drive letter, a colon and a host folder, "
                   "as in \"C: /\"");
        const std::string_view folder = Trim(line.substr(2));
        if (folder.empty())
            Refuse(fileName, lineNumber, "drive " + std::string(1, line[0]) + ": has no folder");
        if (folder.front() != '/')
            Refuse(fileName, lineNumber, "the folder of a drive must be an absolute host path");
        std::string& slot = table.folders_[IndexOf(line[0])];
        if (!slot.empty())
            Refuse(fileName, lineNumber,
                   "drive " + std::string(1, char(std::toupper(line[0]))) + ": is listed twice");
        slot = NormalFolder(folder);
    }
    return table;
}

bool DriveTable::Has(char letter) const {
    const int index = IndexOf(letter);
    return index >= 0 && !folders_[index].empty();
}

const std::string& DriveTable::FolderOf(char letter) const {
    return folders_[IndexOf(letter)];
}

std::string DriveTable::Letters() const {
    std::string letters;
    for (int i = 0; i < 26; ++i)
        if (!folders_[i].empty())
            letters.push_back(static_cast<char>('A' + i));
    return letters;
}

std::optional<std::pair<char, std::string>> DriveTable::Holding(std::string_view hostPath) const {
    std::optional<std::pair<char, std::string>> best;
    std::size_t bestLength = 0;
    for (int i = 0; i < 26; ++i) {
        const std::string& folder = folders_[i];
        if (folder.empty() || hostPath.substr(0, folder.size()) != folder)
            continue;
        std::string_view rest = hostPath.substr(folder.size());
        if (folder != "/" && !rest.empty() && rest.front() != '/')
            continue; // /srv/cd is not inside /srv/c
        if (best && folder.size() <= bestLength)
            continue;
        while (!rest.empty() && rest.front() == '/')
            rest.remove_prefix(1);
        best.emplace(static_cast<char>('A' + i), std::string(rest));
        bestLength = folder.size();
    }
    return best;
}

char DriveTable::AddOnFreeLetter(const std::string& folder) {
    for (int i = 25; i >= 0; --i) {
        if (folders_[i].empty()) {
            folders_[i] = NormalFolder(folder);
            return static_cast<char>('A' + i);
        }
    }
    return 0;
}

} // namespace nimbrel::platform::portable
