#include "archive/lzh_compressor.h"

#include "sysutil/message_pump.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <exception>
#include <typeinfo>

namespace nimbrel {

using namespace lzh;

namespace {
// Shifts `buffer` left by one and answers the bit that left it. Doubling with overflow
// hands that bit over as the carry: one add-with-carry a bit in the tree walk.
template <typename Bits> inline unsigned ShiftOutTopBit(Bits& buffer) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_add_overflow(buffer, buffer, &buffer) ? 1u : 0u;
#else
    const unsigned bit = static_cast<unsigned>(buffer >> (8 * sizeof buffer - 1));
    buffer <<= 1;
    return bit;
#endif
}
} // namespace

TLZHCompressor::TLZHCompressor()
    : ring_(std::make_unique<std::uint8_t[]>(RingBufferSize)),
      tree_(std::make_unique<HuffmanTree>()) {
    finished_ = true;
    SetReadBufSize(DefaultBufSize);
    SetWriteBufSize(DefaultBufSize);
}

TLZHCompressor::TLZHCompressor(KeepsBufferedReaders) : TLZHCompressor() {
    keepsBufferedReaders_ = true;
}

TLZHCompressor::~TLZHCompressor() = default;

void TLZHCompressor::SetBufSize(Word& field, Word size) {
    // The run's buffers were allocated with the sizes it started with.
    if (!finished_)
        return;
    field = std::clamp(size, MinBufSize, MaxBufSize);
}

void TLZHCompressor::SetReadBufSize(Word size) {
    SetBufSize(readBufSize_, size);
}
void TLZHCompressor::SetWriteBufSize(Word size) {
    SetBufSize(writeBufSize_, size);
}

void TLZHCompressor::Decode() {
    if (!finished_)
        return;
    finished_ = false;
    // The run's first error, held until the clean-up is done.
    std::exception_ptr failure;
    try {
        readBuffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(readBufSize_);
        writeBuffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(writeBufSize_);
        ClearState();
        tree_->StartHuff();
        std::memset(ring_.get(), ' ', RingStart);
        try {
            RunLoop();
        } catch (...) {
            // A handler failed (or memory ran out): the loop ends here, what was decoded so
            // far is still flushed, and the error goes on to the caller.
            failure = std::current_exception();
        }
        // A full buffer whose flush failed in the loop is offered once more.
        Word ignored = 0;
        OnPutBytes(this, writeBuffer_.get(), static_cast<Word>(writePos_ - 1), ignored);
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    readBuffer_.reset();
    writeBuffer_.reset();
    finished_ = true;
    if (OnPressFinished) {
        ProcessMessages();
        OnPressFinished(this);
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TLZHCompressor::ClearState() {
    writePos_ = 1;
    readPos_ = 1;
    readCount_ = 0;
    finished_ = false;
    std::memset(ring_.get(), 0, RingBufferSize);
    tree_->Clear();
}

void TLZHCompressor::PutBytes(const void* block, Word count, Word& taken) {
    // One byte into a buffer with room: the run's case, kept free of the rest.
    if (count == 1 && writePos_ <= writeBufSize_) [[likely]] {
        writeBuffer_[writePos_ - 1] = *static_cast<const std::uint8_t*>(block);
        ++writePos_;
        taken = 1;
        return;
    }
    PutBytesFlushing(block, count, taken);
}

void TLZHCompressor::PutBytesFlushing(const void* block, Word count, Word& taken) {
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    for (Word n = 0; n < count; ++n) {
        if (writePos_ > writeBufSize_) {
            Word ignored = 0;
            OnPutBytes(this, writeBuffer_.get(), static_cast<Word>(writePos_ - 1), ignored);
            // Only now: when the handler failed, the final flush offers the same bytes again.
            writePos_ = 1;
        }
        writeBuffer_[writePos_ - 1] = bytes[n];
        ++writePos_;
    }
    taken = count;
}

void TLZHCompressor::GetBytes(void* block, Word count, Word& delivered) {
    // One byte from a buffer not yet used up: the run's case, kept free of the rest.
    if (count == 1 && readPos_ <= readCount_) [[likely]] {
        *static_cast<std::uint8_t*>(block) = readBuffer_[readPos_ - 1];
        ++readPos_;
        delivered = 1;
        return;
    }
    GetBytesRefilling(block, count, delivered);
}

void TLZHCompressor::GetBytesRefilling(void* block, Word count, Word& delivered) {
    delivered = 0;
    if (count == 0)
        return;
    if (readPos_ > readCount_) {
        Word got = 0;
        OnGetBytes(this, readBuffer_.get(), readBufSize_, got);
        // A handler that claims more than the buffer holds must not make us read past it.
        readCount_ = std::min(got, readBufSize_);
        if (readCount_ == 0)
            return; // the next call asks the handler again
        readPos_ = 1;
    }
    const Word available = static_cast<Word>(readCount_ - readPos_ + 1);
    const Word n = std::min(count, available);
    std::memcpy(block, &readBuffer_[readPos_ - 1], n);
    readPos_ = static_cast<Word>(readPos_ + n);
    delivered = n;
}

inline void TLZHCompressor::PutByte(std::uint8_t byte) {
    Word taken;
    PutBytes(&byte, 1, taken);
}

// The bit buffer's 16 bits stand in the upper half of `bits.buffer`, so that shifting drops
// the bits that leave them and no masking is needed.
inline void TLZHCompressor::Refill(BitInput& bits) {
    std::uint8_t byte = 0;
    Word got = 0;
    if (bits.pending >= 0) [[unlikely]] {
        byte = static_cast<std::uint8_t>(bits.pending);
        bits.pending = -1;
        got = 1;
    } else {
        GetBytes(&byte, 1, got);
    }
    if (got != 1) {
        // Past the end the reader supplies zero bits; the end tests stop the run.
        byte = 0;
        bits.endOfInput = true;
    }
    bits.buffer |= std::uint32_t{byte} << (24 - bits.count);
    bits.count += 8;
}

inline unsigned TLZHCompressor::GetBit(BitInput& bits) {
    if (bits.count < 8)
        Refill(bits);
    const unsigned bit = bits.buffer >> 31;
    bits.buffer <<= 1;
    --bits.count;
    return bit;
}

inline unsigned TLZHCompressor::GetByte(BitInput& bits) {
    if (bits.count < 8)
        Refill(bits);
    const unsigned byte = bits.buffer >> 24;
    bits.buffer <<= 8;
    bits.count -= 8;
    return byte;
}

// The walk from `node` down to a leaf once the input has ended: after every step, only zero
// bits left means the stream's closing 1 bit has been read: the stream has ended and the
// symbol under way is dropped.
inline unsigned TLZHCompressor::WalkToLeafAtEnd(BitInput& bits, const HuffmanTree& tree,
                                                unsigned node) {
    while (node < TreeSize) {
        node = tree.child[node + GetBit(bits)];
        if (bits.endOfInput && bits.buffer == 0) {
            bits.buffer = EndMark;
            bits.ended = true;
            return node;
        }
    }
    return node;
}

inline unsigned TLZHCompressor::DecodeChar(BitInput& bits, HuffmanTree& tree) {
    unsigned node = tree.child[Root];
    // While input is left no end test is needed; the walk changes over when it runs out.
    while (!bits.endOfInput) {
        if (bits.count < 8) {
            Refill(bits);
            continue;
        }
        node = tree.child[node + ShiftOutTopBit(bits.buffer)];
        --bits.count;
        if (node >= TreeSize)
            break;
    }
    if (node < TreeSize) [[unlikely]] {
        node = WalkToLeafAtEnd(bits, tree, node);
        if (bits.ended)
            return EndOfStreamSymbol;
    }
    const unsigned symbol = node - TreeSize;
    tree.Update(symbol);
    return symbol;
}

inline unsigned TLZHCompressor::DecodePosition(BitInput& bits) {
    unsigned code = GetByte(bits);
    const unsigned upper = unsigned{PositionUpperBits[code]} << 6;
    // At most 6 more bits: the code stays within 16 bits.
    for (unsigned n = PositionCodeLength[code] - 2u; n > 0; --n)
        code = (code << 1) + GetBit(bits);
    return upper | (code & 63);
}

inline bool TLZHCompressor::EndOfStream(BitInput& bits) {
    // What is left is the closing 1 bit and the zero bits after it.
    if (bits.buffer != EndMark)
        return false;
    if (bits.endOfInput)
        return true;
    // Exactly the closing byte 0x80 is left and the reader has not yet asked past it: without
    // a look at the input, that 1 bit would be decoded as a symbol whenever some symbol has
    // the one-bit code "1", adding bytes that were never packed.
    if (bits.count == 8 && bits.pending < 0) {
        std::uint8_t byte = 0;
        Word got = 0;
        GetBytes(&byte, 1, got);
        if (got != 1) {
            bits.endOfInput = true;
            return true;
        }
        bits.pending = byte;
    }
    return false;
}

// A subclass may supply its own reader and writer; then every byte goes through them.
void TLZHCompressor::RunLoop() {
    if (keepsBufferedReaders_ || typeid(*this) == typeid(TLZHCompressor)) {
        RunLoopDirect();
        return;
    }
    BitInput bits;
    HuffmanTree& tree = *tree_;
    unsigned r = RingStart;
    while (DecodeSymbol(bits, tree, r) && !EndOfStream(bits)) {
    }
}

inline bool TLZHCompressor::DecodeSymbol(BitInput& bits, HuffmanTree& tree, unsigned& r) {
    std::uint8_t* const ring = ring_.get();
    const unsigned symbol = DecodeChar(bits, tree);
    if (symbol < 256) {
        PutByte(static_cast<std::uint8_t>(symbol));
        ring[r] = static_cast<std::uint8_t>(symbol);
        r = (r + 1) & RingMask;
        return true;
    }
    if (symbol == EndOfStreamSymbol) [[unlikely]]
        return false;
    // The copy may read bytes it has itself just stored (distance below length).
    unsigned from = (r - DecodePosition(bits) - 1) & RingMask;
    for (unsigned length = symbol - (256 - Threshold - 1); length > 0; --length) {
        const std::uint8_t byte = ring[from];
        PutByte(byte);
        ring[r] = byte;
        r = (r + 1) & RingMask;
        from = (from + 1) & RingMask;
    }
    return true;
}

void TLZHCompressor::RunLoopDirect() {
    BitInput bits;
    HuffmanTree& tree = *tree_;
    unsigned r = RingStart;
    do {
        WideInput wide;
        if (EnterWide(bits, wide)) {
            DecodeWide(wide, tree, r);
            LeaveWide(wide, bits);
        }
        if (!DecodeSymbol(bits, tree, r))
            return;
    } while (!EndOfStream(bits));
}

// The wide reader starts where the byte reader stands, with eight unread bytes at least in
// the read buffer and nothing held back by the end tests.
inline bool TLZHCompressor::EnterWide(const BitInput& bits, WideInput& wide) const {
    if (bits.endOfInput || bits.pending >= 0 || readPos_ + 7 > readCount_)
        return false;
    wide.bits = std::uint64_t{bits.buffer} << 32;
    wide.count = bits.count;
    wide.next = readPos_ - 1u;
    wide.entryCount = bits.count;
    wide.entryReadPos = readPos_;
    return true;
}

namespace {
// Tops the bits up to 56 at least from the eight bytes at `next`, moving past those taken.
inline void RefillWideBits(std::uint64_t& bits, unsigned& count, const std::uint8_t*& next) {
    std::uint64_t word;
    std::memcpy(&word, next, sizeof word);
    if constexpr (std::endian::native == std::endian::little)
        word = __builtin_bswap64(word);
    // Bits already below `count` are these same bytes' bits in the same places.
    bits |= word >> count;
    next += (63 - count) >> 3;
    count |= 56;
}
} // namespace

// Hands the position back to the byte reader in the state it would have reached itself. That
// reader takes a byte whenever it holds fewer than 8 bits before a request, and every symbol
// ends with a one-bit request: so the bytes it would have taken, and its bit count, follow
// from the bits taken.
inline void TLZHCompressor::LeaveWide(const WideInput& wide, BitInput& bits) {
    const std::size_t loaded = wide.entryCount + 8 * (wide.next - (wide.entryReadPos - 1u));
    const std::size_t taken = loaded - wide.count;
    if (taken == 0)
        return;
    const std::size_t needed = taken + 7;
    const std::size_t bytes = needed > wide.entryCount ? (needed - wide.entryCount + 7) / 8 : 0;
    const auto count = static_cast<unsigned>(wide.entryCount + 8 * bytes - taken);
    bits.count = count;
    bits.buffer = static_cast<std::uint32_t>(wide.bits >> 32) & ~(0xFFFFFFFFu >> count);
    readPos_ = static_cast<Word>(wide.entryReadPos + bytes);
}

inline void TLZHCompressor::PutByteFlushing(Output& out, std::uint8_t byte) {
    if (out.at == out.end) [[unlikely]] {
        // A failed flush leaves the buffer full, for the final flush to offer again.
        writePos_ = static_cast<Word>(writeBufSize_ + 1);
        Word taken;
        PutBytesFlushing(&byte, 1, taken);
        out.at = writeBuffer_.get() + (writePos_ - 1);
        return;
    }
    *out.at++ = byte;
}

void TLZHCompressor::DecodeWide(WideInput& wide, HuffmanTree& tree, unsigned& ringPos) {
    // The longest position code, and what must stay unread for the byte reader's bits.
    constexpr unsigned PositionBits = 14;
    constexpr unsigned Reserve = 15;
    // Locals, not members: the byte stores below could alias any member.
    std::uint8_t* const ring = ring_.get();
    const std::uint8_t* next = readBuffer_.get() + wide.next;
    const std::uint8_t* const lastLoad = readBuffer_.get() + (readCount_ - 8);
    Output out{writeBuffer_.get() + (writePos_ - 1), writeBuffer_.get() + writeBufSize_};
    std::uint64_t bits = wide.bits;
    unsigned count = wide.count;
    unsigned r = ringPos;
    while (next <= lastLoad) {
        RefillWideBits(bits, count, next);
        // A marker bit below the real ones: after the walk, its place tells how far it went.
        std::uint64_t walk = bits | 1;
        unsigned node = tree.child[Root];
        do
            node = tree.child[node + ShiftOutTopBit(walk)];
        while (node < TreeSize);
        // (All 64 bits, marker included, when the walk went past them.)
        const auto used = static_cast<unsigned>(std::countr_zero(walk));
        // Deeper than the tree's frequency limit lets it grow: left to the byte reader.
        if (used + PositionBits + Reserve > count) [[unlikely]]
            break;
        bits <<= used;
        count -= used;
        // The tree is counted after the symbol's bytes are out: they do not depend on it.
        const unsigned symbol = node - TreeSize;
        if (symbol < 256) {
            PutByteFlushing(out, static_cast<std::uint8_t>(symbol));
            ring[r] = static_cast<std::uint8_t>(symbol);
            r = (r + 1) & RingMask;
            tree.Update(symbol);
            continue;
        }
        tree.Update(symbol);
        const auto code = static_cast<unsigned>(bits >> 56);
        const unsigned length = PositionCodeLength[code] + 6u;
        const unsigned position = unsigned{PositionUpperBits[code]} << 6 |
                                  (static_cast<unsigned>(bits >> (64 - length)) & 63);
        bits <<= length;
        count -= length;
        unsigned from = (r - position - 1) & RingMask;
        const unsigned matchLength = symbol - (256 - Threshold - 1);
        if (from + matchLength <= WindowSize && r + matchLength <= WindowSize &&
            out.end - out.at >= matchLength) {
            // Neither end wraps and the write buffer has room: a plain forward copy, which
            // still repeats bytes it has just stored when the distance is short.
            for (unsigned n = 0; n < matchLength; ++n) {
                const std::uint8_t byte = ring[from + n];
                ring[r + n] = byte;
                out.at[n] = byte;
            }
            out.at += matchLength;
            r = (r + matchLength) & RingMask;
            continue;
        }
        for (unsigned n = matchLength; n > 0; --n) {
            const std::uint8_t byte = ring[from];
            PutByteFlushing(out, byte);
            ring[r] = byte;
            r = (r + 1) & RingMask;
            from = (from + 1) & RingMask;
        }
    }
    wide.bits = bits;
    wide.count = count;
    wide.next = static_cast<std::size_t>(next - readBuffer_.get());
    ringPos = r;
    writePos_ = static_cast<Word>(out.at - writeBuffer_.get() + 1);
}

} // namespace nimbrel
