#pragma once
// Which picture comes next: the pictures of the folder in the dialog's list order, the one
// after the picture shown last, wrapping round at the end.
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::render {

// The pictures the dialog's wallpaper list shows for the folder (JPEG files and bitmaps,
// without the changer's own files and without folders), in its order; empty for an empty
// or missing folder.
std::vector<std::string> ListPictures(std::string_view folder);

// The pictures to try for the next change, in order: the one after `lastShown` (or after
// where it stood, when it is gone), then on round the list, ending with `lastShown` itself.
std::vector<std::string> RotationAfter(const std::vector<std::string>& pictures,
                                       std::string_view lastShown);

// Whether the folder lists the name (a request names a file of the list).
bool Lists(const std::vector<std::string>& pictures, std::string_view name);

} // namespace nimbrel::render
