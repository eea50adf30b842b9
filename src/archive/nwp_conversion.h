#pragma once
// The conversion of one NWP file (a BMP picture in the compressed container) into its BMP
// file, shared by every conversion the program offers.
#include "archive/archive.h"

#include <string>

namespace nimbrel {

// An expansion that gave no complete bitmap; the message names the NWP file.
class EIncompleteBitmap : public EArchive {
public:
    using EArchive::EArchive;
};

// Expands the NWP file `nwpPath` into the BMP file `bmpPath` (Windows paths), replacing a
// file of that name, then deletes the NWP file; a NWP file that cannot be deleted stays
// beside its bitmap without an error. The bitmap takes its place only when the expansion
// succeeded and gave a complete bitmap (see IsCompleteBitmap): a cut or damaged NWP file
// raises EIncompleteBitmap and, as on every error of the expansion (EArchive), the NWP
// file and an existing BMP file stay as they were.
void ConvertNwpFile(const std::string& nwpPath, const std::string& bmpPath);

} // namespace nimbrel
