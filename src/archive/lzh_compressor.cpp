#include "archive/lzh_compressor.h"

#include "sysutil/message_pump.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace nimbrel {

using namespace lzh;

namespace {
// Shifts `buffer` left by one and answers the bit that left it. Doubling with overflow
// hands that bit over as the carry: one add-with-carry a bit in the tree walk.
inline unsigned ShiftOutTopBit(std::uint32_t& buffer) {
#if defined(__GNUC__) || defined(__clang__)
    return __builtin_add_overflow(buffer, buffer, &buffer) ? 1u : 0u;
#else
    const unsigned bit = buffer >> 31;
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

void TLZHCompressor::RunLoop() {
    BitInput bits;
    HuffmanTree& tree = *tree_;
    std::uint8_t* const ring = ring_.get();
    unsigned r = RingStart;
    do {
        const unsigned symbol = DecodeChar(bits, tree);
        if (symbol < 256) {
            PutByte(static_cast<std::uint8_t>(symbol));
            ring[r] = static_cast<std::uint8_t>(symbol);
            r = (r + 1) & RingMask;
        } else {
            if (symbol == EndOfStreamSymbol) [[unlikely]]
                return;
            // The copy may read bytes it has itself just stored (distance below length).
            unsigned from = (r - DecodePosition(bits) - 1) & RingMask;
            for (unsigned length = symbol - (256 - Threshold - 1); length > 0; --length) {
                const std::uint8_t byte = ring[from];
                PutByte(byte);
                ring[r] = byte;
                r = (r + 1) & RingMask;
                from = (from + 1) & RingMask;
            }
        }
    } while (!EndOfStream(bits));
}

} // namespace nimbrel
