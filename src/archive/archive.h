#pragma once
// The compressed-file container: a 4-byte signature (01 00 33 AC) followed by the LZH code
// stream, with no length and no trailer. NWP pictures are BMP files in this form.
#include "archive/lzh_compressor.h"
#include "platform/win_error.h"
#include "sysutil/exception.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace nimbrel {

// The message is the container's own text; the cause, when the system gave one, is its
// error code (a full disk, a refused target, a failed read), so that a caller can say why.
class EArchive : public Exception {
public:
    explicit EArchive(const std::string& message, platform::WinError cause = platform::ErrorSuccess)
        : Exception(message), cause_(cause) {}
    platform::WinError Cause() const { return cause_; }

private:
    platform::WinError cause_;
};

inline constexpr char NotCompressedFileMessage[] = "Not a compressed file.";
inline constexpr char CannotWriteOutputMessage[] = "Can not write to output file.";
inline constexpr std::array<std::uint8_t, 4> CompressedFileSignature{0x01, 0x00, 0x33, 0xAC};

// What an expansion wrote, seen before it takes the place of its target.
struct TExpandedFile {
    static constexpr std::size_t HeadSize = 64;
    std::span<const std::uint8_t> head; // the first bytes, up to HeadSize of them
    std::uint64_t size = 0;
};
// Looks at an expansion's result; raising keeps it from replacing the target, and the
// error reaches the caller of the expansion.
using TExpandedCheck = std::function<void(const TExpandedFile&)>;

class TArchive : public TLZHCompressor {
public:
    static constexpr std::size_t TransferBufferSize = 16384;

    TArchive() : TLZHCompressor(KeepsBufferedReaders{}) {}

    // Expands the compressed file `inputName` into `outputName` (Windows paths). The output
    // is written beside its target and takes the target's place only when the whole
    // expansion succeeded and `check` (when given) let it; on an error the target is as it
    // was. An output name that must not be replaced by a plain file (see
    // platform::FileReplacement) cannot be written. Raises EArchive with
    // NotCompressedFileMessage or CannotWriteOutputMessage, or what `check` raised.
    void ExpandFile(const std::string& inputName, const std::string& outputName,
                    const TExpandedCheck& check = {});
};

// One compressed file into one expanded file; errors of the expansion pass on.
void DecompressFile(const std::string& inputName, const std::string& outputName,
                    const TExpandedCheck& check = {});

} // namespace nimbrel
