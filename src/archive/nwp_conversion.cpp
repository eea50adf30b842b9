#include "archive/nwp_conversion.h"

#include "archive/bitmap_completeness.h"
#include "platform/files.h"

namespace nimbrel {

void ConvertNwpFile(const std::string& nwpPath, const std::string& bmpPath) {
    DecompressFile(nwpPath, bmpPath, [&nwpPath](const TExpandedFile& expanded) {
        if (!IsCompleteBitmap(expanded.head, expanded.size))
            throw EIncompleteBitmap("Cannot convert \"" + nwpPath +
                                    "\": it does not hold a complete bitmap.");
    });
    // The outcome is not looked at: a file that cannot be deleted stays, without a word.
    (void)platform::DeleteFile(nwpPath);
}

} // namespace nimbrel
