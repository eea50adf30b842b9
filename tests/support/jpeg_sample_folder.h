#pragma once
// The small wallpaper folder the changer's and the saver's tests share, at C:\PICS of a
// scratch environment: two JPEG files and a bitmap of 32 x 24 in three colours, and the
// changer's own NIMBREL.BMP, which no list shows.
#include "support/temp_environment.h"

#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel::test {

// A picture file of C:\PICS (its host name as given).
void WriteFolderPicture(TempEnvironment& environment, const std::string& name,
                        const std::vector<std::uint8_t>& bytes);
// a.jpg red, B.bmp green, c.JPG blue, nimbrel.bmp.
void WriteSampleFolder(TempEnvironment& environment);

} // namespace nimbrel::test
