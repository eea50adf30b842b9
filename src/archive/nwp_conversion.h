#pragma once
// The conversion of one NWP file (a BMP picture in the compressed container) into its BMP
// file, shared by every conversion the program offers.
#include "archive/archive.h"
#include "platform/win_error.h"

#include <string>

namespace nimbrel {

// An expansion that gave no complete bitmap; the message names the NWP file.
class EIncompleteBitmap : public EArchive {
public:
    using EArchive::EArchive;
};

// What becomes of the NWP file once its bitmap is in place.
enum class NwpAfterConversion { Delete, Keep };

// Expands the NWP file `nwpPath` into the BMP file `bmpPath` (Windows paths), replacing a
// file of that name, then deletes the NWP file unless it is kept; a NWP file that cannot be
// deleted stays beside its bitmap without an error, and the answer tells why (ErrorSuccess
// when it went or was kept). The bitmap takes its place only when the expansion succeeded
// and gave a complete bitmap (see IsCompleteBitmap): a cut or damaged NWP file raises
// EIncompleteBitmap and, as on every error of the expansion (EArchive), the NWP file and an
// existing BMP file stay as they were.
platform::WinError ConvertNwpFile(const std::string& nwpPath, const std::string& bmpPath,
                                  NwpAfterConversion after = NwpAfterConversion::Delete);

} // namespace nimbrel
