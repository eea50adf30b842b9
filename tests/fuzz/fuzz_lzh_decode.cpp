// Arbitrary bytes as a code stream, through the codec with small and uneven buffer sizes:
// the first two bytes choose the read and write buffer sizes.
#include "archive/lzh_compressor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nimbrel;
    if (size < 2)
        return 0;
    const Word readSize = static_cast<Word>(data[0] * 131 % 300);
    const Word writeSize = static_cast<Word>(data[1] * 37 % 300);
    const std::uint8_t* stream = data + 2;
    const std::size_t streamSize = size - 2;

    TLZHCompressor codec;
    codec.SetReadBufSize(readSize);
    codec.SetWriteBufSize(writeSize);
    std::size_t at = 0, produced = 0, checksum = 0;
    codec.OnGetBytes = [&](TLZHCompressor*, void* dta, Word n, Word& got) {
        const std::size_t take = std::min<std::size_t>(n, streamSize - at);
        std::memcpy(dta, stream + at, take);
        at += take;
        got = static_cast<Word>(take);
    };
    codec.OnPutBytes = [&](TLZHCompressor*, const void* dta, Word n, Word&) {
        // Touch every byte handed over, so a read past the write buffer is seen.
        const auto* bytes = static_cast<const std::uint8_t*>(dta);
        for (Word i = 0; i < n; ++i)
            checksum += bytes[i];
        produced += n;
    };
    codec.Decode();
    // A code stream can expand at most 60 bytes for its shortest code (2 bits) and the
    // reader supplies zero bits past the end only until the end test stops the run.
    if (produced > (streamSize + 64) * 8 * 60 || checksum > produced * 255)
        __builtin_trap();
    return 0;
}
