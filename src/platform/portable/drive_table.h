#pragma once
// Drive letters and the host folders they stand for.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace nimbrel::platform::portable {

class DriveTable {
public:
    // C: is the host's root folder.
    static DriveTable Default();
    // Lines "C: /srv/c"; raises EnvironmentError naming `fileName` and the line of a bad one.
    static DriveTable Parse(std::string_view text, std::string_view fileName);

    bool Has(char letter) const;
    // The host folder of a drive (no trailing slash except for "/").
    const std::string& FolderOf(char letter) const;
    // The letters that exist, upper case, in order.
    std::string Letters() const;
    // The drive whose folder holds an absolute, normal host path (the deepest one), and the
    // part of the path below that folder.
    std::optional<std::pair<char, std::string>> Holding(std::string_view hostPath) const;
    // Adds `folder` on the highest free letter; answers the letter, or 0 when none is free.
    char AddOnFreeLetter(const std::string& folder);

private:
    std::array<std::string, 26> folders_;
};

} // namespace nimbrel::platform::portable
