#pragma once
// The compressed-file container: a 4-byte signature (01 00 33 AC) followed by the LZH code
// stream, with no length and no trailer. NWP pictures are BMP files in this form.
#include "archive/lzh_compressor.h"
#include "platform/files.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace nimbrel {

class EArchive : public Exception {
public:
    using Exception::Exception;
};

inline constexpr char NotCompressedFileMessage[] = "Not a compressed file.";
inline constexpr char CannotWriteOutputMessage[] = "Can not write to output file.";
inline constexpr std::array<std::uint8_t, 4> CompressedFileSignature{0x01, 0x00, 0x33, 0xAC};

class TArchive : public TLZHCompressor {
public:
    static constexpr std::size_t TransferBufferSize = 16384;

    TArchive();

    // Expands the compressed file `inputName` into `outputName` (Windows paths). The output
    // is written beside its target under another name and takes the target's place only
    // when the whole expansion succeeded; on an error the target is as it was. Raises
    // EArchive with NotCompressedFileMessage or CannotWriteOutputMessage.
    void ExpandFile(const std::string& inputName, const std::string& outputName);

private:
    void ReadInput(TLZHCompressor* Sender, void* DTA, Word NBytes, Word& Bytes_Got);
    void WriteOutput(TLZHCompressor* Sender, const void* DTA, Word NBytes, Word& Bytes_Put);
    void ExpandDone(TLZHCompressor* Sender);
    bool ReadSignature();
    // Writes what the collect buffer holds; false when the file did not take all of it.
    bool WriteCollected();
    [[noreturn]] void FailWrite();

    platform::File input_;
    platform::File output_;
    std::unique_ptr<std::uint8_t[]> transfer_;
    std::size_t transferAt_ = 0;              // next byte of the transfer buffer to hand out
    std::size_t transferCount_ = 0;           // bytes in the transfer buffer
    std::unique_ptr<std::uint8_t[]> collect_; // output gathered for one write
    std::size_t collected_ = 0;
    bool readFailed_ = false;
    bool writeFailed_ = false;
};

// One compressed file into one expanded file; errors of the expansion pass on.
void DecompressFile(const std::string& inputName, const std::string& outputName);

} // namespace nimbrel
