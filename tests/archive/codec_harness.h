#pragma once
// Drives a TLZHCompressor from memory and records how its handlers were called.
#include "archive/lzh_compressor.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace nimbrel::test {

// A codec whose own reader and writer take every byte: it runs the byte-by-byte path.
class ByteByByteCodec : public TLZHCompressor {
public:
    std::size_t bytesPut = 0;

protected:
    void PutBytes(const void* block, Word count, Word& taken) override {
        bytesPut += count;
        TLZHCompressor::PutBytes(block, count, taken);
    }
    void GetBytes(void* block, Word count, Word& delivered) override {
        TLZHCompressor::GetBytes(block, count, delivered);
    }
};

template <typename Codec> struct BasicCodecHarness {
    Codec codec;
    std::vector<std::uint8_t> input;
    std::size_t inputAt = 0;
    std::vector<std::uint8_t> output;
    std::vector<Word> putCounts;
    std::vector<std::string> events; // "get", "put N", "pump", "finished"
    // Hooks a test can set to make a handler misbehave; called before the handler's work.
    std::function<void(int call)> beforeGet;
    std::function<void(int call, Word count)> beforePut;
    int getCalls = 0;
    int putCalls = 0;

    explicit BasicCodecHarness(std::span<const std::uint8_t> stream = {})
        : input(stream.begin(), stream.end()) {
        codec.OnGetBytes = [this](TLZHCompressor*, void* dta, Word n, Word& got) {
            events.push_back("get");
            if (beforeGet)
                beforeGet(++getCalls);
            const std::size_t take = std::min<std::size_t>(n, input.size() - inputAt);
            if (take > 0)
                std::memcpy(dta, input.data() + inputAt, take);
            inputAt += take;
            got = static_cast<Word>(take);
        };
        codec.OnPutBytes = [this](TLZHCompressor*, const void* dta, Word n, Word&) {
            events.push_back("put " + std::to_string(n));
            if (beforePut)
                beforePut(++putCalls, n);
            putCounts.push_back(n);
            const auto* bytes = static_cast<const std::uint8_t*>(dta);
            output.insert(output.end(), bytes, bytes + n);
        };
        codec.OnPressFinished = [this](TLZHCompressor*) { events.push_back("finished"); };
    }
};

using CodecHarness = BasicCodecHarness<TLZHCompressor>;

// Expands a code stream memory to memory.
inline std::vector<std::uint8_t> Expand(std::span<const std::uint8_t> stream, Word readSize = 1024,
                                        Word writeSize = 1024) {
    CodecHarness harness(stream);
    harness.codec.SetReadBufSize(readSize);
    harness.codec.SetWriteBufSize(writeSize);
    harness.codec.Decode();
    return harness.output;
}

} // namespace nimbrel::test
