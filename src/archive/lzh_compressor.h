#pragma once
// Expansion of a byte stream packed with LZSS over a 4,096-byte ring, its literals and
// match lengths in an adaptive Huffman code and its match positions in a fixed prefix
// code. Input is pulled through OnGetBytes, output pushed through OnPutBytes, both a
// buffer at a time; the end of each run is told through OnPressFinished.
#include "archive/lzh_constants.h"
#include "archive/lzh_huffman_tree.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace nimbrel {

using Word = std::uint16_t;

class TLZHCompressor;

// Fill DTA with at most NBytes bytes and store how many in Bytes_Got; 0 means the input is
// exhausted, and must go on being answered when asked again.
using TGetBytesProc =
    std::function<void(TLZHCompressor* Sender, void* DTA, Word NBytes, Word& Bytes_Got)>;
// Take the first NBytes bytes of DTA as output. Bytes_Put is never read back.
using TPutBytesProc =
    std::function<void(TLZHCompressor* Sender, const void* DTA, Word NBytes, Word& Bytes_Put)>;
using TPressFinishedEvent = std::function<void(TLZHCompressor* Sender)>;

class TLZHCompressor {
public:
    static constexpr Word DefaultBufSize = 1024;
    static constexpr Word MinBufSize = 16;
    static constexpr Word MaxBufSize = 32768;

    TLZHCompressor();
    virtual ~TLZHCompressor();
    TLZHCompressor(const TLZHCompressor&) = delete;
    TLZHCompressor& operator=(const TLZHCompressor&) = delete;

    // Both must be assigned before Decode; OnPressFinished is optional.
    TGetBytesProc OnGetBytes;
    TPutBytesProc OnPutBytes;
    TPressFinishedEvent OnPressFinished;

    Word ReadBufSize() const { return readBufSize_; }
    Word WriteBufSize() const { return writeBufSize_; }
    // Ignored during a run; clamped to 16..32768.
    void SetReadBufSize(Word size);
    void SetWriteBufSize(Word size);
    // True while no run is under way.
    bool Finished() const { return finished_; }

    // Expands the whole input stream in one run. Does nothing when called during a run.
    // An error inside the loop (a handler's, or a failed allocation) ends the loop; what was
    // decoded is still offered to OnPutBytes by the final flush, and after the clean-up
    // (and OnPressFinished) the first error of the run reaches the caller.
    void Decode();

protected:
    // For a subclass that keeps PutBytes and GetBytes as they are: its runs may then take
    // the input straight from the read buffer and fill the write buffer without a call for
    // each byte. A subclass made otherwise has every byte go through its own two methods.
    struct KeepsBufferedReaders {};
    explicit TLZHCompressor(KeepsBufferedReaders);

    // The buffered writer: takes `count` bytes, handing a full write buffer to OnPutBytes.
    virtual void PutBytes(const void* block, Word count, Word& taken);
    // The buffered reader: delivers up to `count` bytes from the read buffer, refilling it
    // through OnGetBytes when it is used up; 0 delivered means the input has ended.
    virtual void GetBytes(void* block, Word count, Word& delivered);

private:
    // The bit reader's state: the 16-bit bit buffer, most significant bit next, held in the
    // upper half of `buffer`.
    struct BitInput {
        std::uint32_t buffer = 0;
        unsigned count = 0;
        bool endOfInput = false;
        // A byte fetched early to tell whether the input had ended (see EndOfStream).
        int pending = -1;
        // The stream's closing bit has been read: the run is complete.
        bool ended = false;
    };
    // The bit reader of the stretches of a run that lie wholly inside the read buffer: the
    // buffer's bytes taken eight at a time. It stands for the byte-at-a-time reader above,
    // which takes over again, in the state it would have reached, wherever a byte might have
    // to come from the input handler or the input might end.
    struct WideInput {
        // Unread bits, the next one most significant; below the `count` real ones, the bits
        // of the bytes from `next` on.
        std::uint64_t bits = 0;
        unsigned count = 0;
        std::size_t next = 0; // index in the read buffer of the first byte not yet in `bits`
        // Where the byte-at-a-time reader stood on entry.
        unsigned entryCount = 0;
        Word entryReadPos = 0;
    };
    // The write buffer as the run fills it, held outside the object for speed.
    struct Output {
        std::uint8_t* at;
        std::uint8_t* end;
    };
    // What DecodeChar answers once the stream has ended, in place of a symbol.
    static constexpr unsigned EndOfStreamSymbol = 0xFFFF;
    // The bit buffer holding the closing 1 bit and nothing else after it.
    static constexpr std::uint32_t EndMark = 0x8000u << 16;

    void PutBytesFlushing(const void* block, Word count, Word& taken);
    void GetBytesRefilling(void* block, Word count, Word& delivered);
    void ClearState();
    void RunLoop();
    // The loop when neither reader nor writer is overridden: stretches of the input are
    // decoded by the wide reader straight from the read buffer.
    void RunLoopDirect();
    // One symbol and its bytes, read and written byte by byte; false at the end of the stream.
    bool DecodeSymbol(BitInput& bits, lzh::HuffmanTree& tree, unsigned& r);
    bool EnterWide(const BitInput& bits, WideInput& wide) const;
    void LeaveWide(const WideInput& wide, BitInput& bits);
    // Decodes symbols with the wide reader while it has input enough for one more.
    void DecodeWide(WideInput& wide, lzh::HuffmanTree& tree, unsigned& r);
    void PutByteFlushing(Output& out, std::uint8_t byte);
    void Refill(BitInput& bits);
    unsigned GetBit(BitInput& bits);
    unsigned GetByte(BitInput& bits);
    unsigned DecodeChar(BitInput& bits, lzh::HuffmanTree& tree);
    unsigned WalkToLeafAtEnd(BitInput& bits, const lzh::HuffmanTree& tree, unsigned node);
    unsigned DecodePosition(BitInput& bits);
    // After a pass: true when only the stream's closing bits are left.
    bool EndOfStream(BitInput& bits);
    void PutByte(std::uint8_t byte);
    void SetBufSize(Word& field, Word size);

    std::unique_ptr<std::uint8_t[]> ring_;
    std::unique_ptr<lzh::HuffmanTree> tree_;

    Word writePos_ = 1; // 1-based index of the next free byte of the write buffer
    Word readPos_ = 1;  // 1-based index of the next byte not yet taken from the read buffer
    Word readCount_ = 0;
    std::unique_ptr<std::uint8_t[]> readBuffer_;
    std::unique_ptr<std::uint8_t[]> writeBuffer_;

    bool finished_ = true;
    bool keepsBufferedReaders_ = false;
    Word readBufSize_ = DefaultBufSize;
    Word writeBufSize_ = DefaultBufSize;
};

} // namespace nimbrel
