#include "archive/nwp_conversion.h"

#include "archive/bitmap_completeness.h"
#include "platform/files.h"

namespace nimbrel {

platform::WinError ConvertNwpFile(const std::string& nwpPath, const std::string& bmpPath,
                                  NwpAfterConversion after) {
    DecompressFile(nwpPath, bmpPath, [&nwpPath](const TExpandedFile& expanded) {
        if (!IsCompleteBitmap(expanded.head, expanded.size))
            throw EIncompleteBitmap("Cannot convert \"" + nwpPath +
                                    "\": it does not hold a complete bitmap.");
    });
    if (after == NwpAfterConversion::Keep)
        return platform::ErrorSuccess;
    // A file that cannot be deleted stays, without an error: the caller may tell why.
    return platform::DeleteFile(nwpPath);
}

} // namespace nimbrel
