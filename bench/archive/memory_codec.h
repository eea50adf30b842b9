#pragma once
// The codec fed from and draining into memory, as the benchmarks run it.
#include "archive/lzh_compressor.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace nimbrel::bench {

class MemoryCodec {
public:
    MemoryCodec() {
        codec_.OnGetBytes = [this](TLZHCompressor*, void* dta, Word n, Word& got) {
            const std::size_t take = std::min<std::size_t>(n, input_.size() - at_);
            std::memcpy(dta, input_.data() + at_, take);
            at_ += take;
            got = static_cast<Word>(take);
        };
        codec_.OnPutBytes = [this](TLZHCompressor*, const void* dta, Word n, Word&) {
            const auto* bytes = static_cast<const std::uint8_t*>(dta);
            output_.insert(output_.end(), bytes, bytes + n);
        };
    }

    const std::vector<std::uint8_t>& Expand(std::span<const std::uint8_t> stream) {
        input_ = stream;
        at_ = 0;
        output_.clear();
        codec_.Decode();
        return output_;
    }

private:
    TLZHCompressor codec_;
    std::span<const std::uint8_t> input_;
    std::size_t at_ = 0;
    std::vector<std::uint8_t> output_;
};

} // namespace nimbrel::bench
