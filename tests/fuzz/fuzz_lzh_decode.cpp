// Arbitrary bytes as a code stream, decoded three times: with the default buffer sizes,
// with small and uneven ones chosen by the first two bytes, and by a subclass whose own
// reader and writer take the bytes one by one (the codec otherwise reads stretches of its
// buffer at once). The buffers only cut the same stream into other pieces, and the two
// readers read the same bits, so all runs must give the same output byte for byte. Each
// run stops once it has made OutputCap bytes (a few random bytes can stand for a megabyte),
// and the runs are compared on what they made up to there.
#include "archive/lzh_compressor.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using nimbrel::TLZHCompressor;
using nimbrel::Word;

// Well past the 32,768 codes after which the adaptive tree is rebuilt, even where most of
// them are literals.
constexpr std::size_t OutputCap = 48 << 10;

// Raised by the output handler to end a run at the cap.
struct CapReached {};

class ByteByByteCodec : public TLZHCompressor {
protected:
    void PutBytes(const void* block, Word count, Word& taken) override {
        TLZHCompressor::PutBytes(block, count, taken);
    }
    void GetBytes(void* block, Word count, Word& delivered) override {
        TLZHCompressor::GetBytes(block, count, delivered);
    }
};

template <typename Codec = TLZHCompressor>
std::vector<std::uint8_t> Expand(const std::uint8_t* stream, std::size_t size, Word readSize,
                                 Word writeSize) {
    Codec codec;
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
        // Every byte handed over is copied, so a read past the write buffer is seen; the
        // final flush after the cap is still taken whole, then cut.
        const auto* bytes = static_cast<const std::uint8_t*>(dta);
        const bool full = output.size() >= OutputCap;
        output.insert(output.end(), bytes, bytes + n);
        if (!full && output.size() >= OutputCap)
            throw CapReached{};
    };
    try {
        codec.Decode();
    } catch (const CapReached&) {
    }
    if (output.size() > OutputCap)
        output.resize(OutputCap);
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
    if (Expand<ByteByByteCodec>(stream, streamSize, readSize, writeSize) != reference)
        __builtin_trap();
    // The shortest code (2 bits) expands to at most 60 bytes; past the input the reader
    // supplies zero bits only until the end test stops the run.
    if (reference.size() > (streamSize + 64) * 8 * 60)
        __builtin_trap();
    return 0;
}
