// Arbitrary bytes as a code stream, decoded twice: once with the default buffer sizes and
// once with small and uneven ones chosen by the first two bytes. The buffers only cut the
// same stream into other pieces, so both runs must give the same output byte for byte.
#include "archive/lzh_compressor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using nimbrel::TLZHCompressor;
using nimbrel::Word;

std::vector<std::uint8_t> Expand(const std::uint8_t* stream, std::size_t size, Word readSize,
                                 Word writeSize) {
    TLZHCompressor codec;
    codec.SetReadBufSize(readSize);
    codec.SetWriteBufSize(writeSize);
    std::size_t at = 0;
    std::vector<std::uint8_t> output;
    codec.OnGetBytes = [&](TLZHCompressor*, void* dta, Word n, Word& got) {
        const std::size_t take = std::min<std::size_t>(n, size - at);
        std::memcpy(dta, stream + at, take);
        at += take;
        got = static_cast<Word>(take);
    };
    codec.OnPutBytes = [&](TLZHCompressor*, const void* dta, Word n, Word&) {
        // Every byte handed over is copied, so a read past the write buffer is seen.
        const auto* bytes = static_cast<const std::uint8_t*>(dta);
        output.insert(output.end(), bytes, bytes + n);
    };
    codec.Decode();
    return output;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    const auto readSize = static_cast<Word>(data[0] * 131 % 300);
    const auto writeSize = static_cast<Word>(data[1] * 37 % 300);
    const std::uint8_t* stream = data + 2;
    const std::size_t streamSize = size - 2;

    const auto reference =
        Expand(stream, streamSize, TLZHCompressor::DefaultBufSize, TLZHCompressor::DefaultBufSize);
    const auto cut = Expand(stream, streamSize, readSize, writeSize);
    if (cut != reference)
        __builtin_trap();
    // The shortest code (2 bits) expands to at most 60 bytes; past the input the reader
    // supplies zero bits only until the end test stops the run.
    if (reference.size() > (streamSize + 64) * 8 * 60)
        __builtin_trap();
    return 0;
}
