#include "render/picture_sequence.h"

#include "platform/files.h"
#include "wallpaper_folder/folder_listing.h"

#include <algorithm>
#include <cctype>

namespace nimbrel::render {
namespace {

// The list's case-insensitive order, for a name no longer in the list.
bool ListedBefore(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) <
               std::toupper(static_cast<unsigned char>(y));
    });
}

} // namespace

std::vector<std::string> ListPictures(std::string_view folder) {
    std::vector<std::string> pictures;
    for (wallpaper::FolderEntry& entry : wallpaper::ListPictures(folder)) {
        if (!entry.nameFits || (entry.attributes & platform::FileAttributeDirectory) != 0)
            continue;
        pictures.push_back(std::move(entry.name));
    }
    return pictures;
}

std::vector<std::string> RotationAfter(const std::vector<std::string>& pictures,
                                       std::string_view lastShown) {
    std::size_t start = 0;
    if (!lastShown.empty()) {
        const auto shown = std::find(pictures.begin(), pictures.end(), lastShown);
        if (shown != pictures.end())
            start = static_cast<std::size_t>(shown - pictures.begin()) + 1;
        else
            start = static_cast<std::size_t>(std::find_if(pictures.begin(), pictures.end(),
                                                          [&](const std::string& name) {
                                                              return ListedBefore(lastShown, name);
                                                          }) -
                                             pictures.begin());
    }
    std::vector<std::string> rotation;
    rotation.reserve(pictures.size());
    for (std::size_t i = 0; i < pictures.size(); ++i)
        rotation.push_back(pictures[(start + i) % pictures.size()]);
    return rotation;
}

bool Lists(const std::vector<std::string>& pictures, std::string_view name) {
    return std::find(pictures.begin(), pictures.end(), name) != pictures.end();
}

} // namespace nimbrel::render
