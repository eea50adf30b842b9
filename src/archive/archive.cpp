#include "archive/archive.h"

#include "platform/files.h"
#include "sysutil/screen_cursor.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace nimbrel {
namespace {

using platform::ErrorDiskFull;
using platform::ErrorSuccess;
using platform::WinError;

// Shows the hourglass for its lifetime, then the cursor that was shown before.
class WaitCursor {
public:
    WaitCursor() : saved_(ScreenCursor()) { SetScreenCursor(TCursor::crHourGlass); }
    ~WaitCursor() { SetScreenCursor(saved_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    TCursor saved_;
};

// One expansion's files and buffers. The codec's handlers work on it, and it dies with the
// run, closing the input and dropping an output that was not put in place.
class ExpansionRun {
public:
    ExpansionRun()
        : transfer_(std::make_unique_for_overwrite<std::uint8_t[]>(TArchive::TransferBufferSize)),
          collect_(std::make_unique_for_overwrite<std::uint8_t[]>(TArchive::TransferBufferSize)) {}

    platform::File input;
    platform::FileReplacement output;

    bool ReadSignature() {
        std::array<std::uint8_t, 4> head{};
        std::size_t have = 0;
        while (have < head.size()) {
            std::size_t done = 0;
            if (input.Read(head.data() + have, head.size() - have, done) != ErrorSuccess ||
                done == 0)
                return false;
            have += done;
        }
        return head == CompressedFileSignature;
    }

    void ReadInput(void* DTA, Word NBytes, Word& Bytes_Got) {
        // The transfer buffer is filled by one read of at most its size and handed out in
        // the pieces the codec asks for, so a 1,024-byte request is not a system call each.
        if (transferAt_ == transferCount_) {
            transferAt_ = transferCount_ = 0;
            // An input that cannot be read to its end is not expanded.
            if (const WinError error =
                    input.Read(transfer_.get(), TArchive::TransferBufferSize, transferCount_))
                throw EArchive(NotCompressedFileMessage, error);
            transferCount_ = std::min(transferCount_, TArchive::TransferBufferSize);
        }
        const std::size_t n = std::min<std::size_t>(NBytes, transferCount_ - transferAt_);
        std::memcpy(DTA, transfer_.get() + transferAt_, n);
        transferAt_ += n;
        Bytes_Got = static_cast<Word>(n);
    }

    void WriteOutput(const void* DTA, Word NBytes) {
        // The codec's blocks are gathered into writes of the collect buffer's size: the file
        // takes the same bytes with a sixteenth of the system calls. Nothing of the file is
        // seen before the expansion has succeeded, so a failure found at a later write is as
        // good as one found now.
        const auto* bytes = static_cast<const std::uint8_t*>(DTA);
        const std::size_t toHead = std::min<std::size_t>(NBytes, head_.size() - headSize_);
        std::memcpy(head_.data() + headSize_, bytes, toHead);
        headSize_ += toHead;
        size_ += NBytes;
        std::size_t left = NBytes;
        while (left > 0) {
            if (collected_ == TArchive::TransferBufferSize)
                WriteCollected();
            const std::size_t n = std::min(left, TArchive::TransferBufferSize - collected_);
            std::memcpy(collect_.get() + collected_, bytes, n);
            collected_ += n;
            bytes += n;
            left -= n;
        }
    }

    // Writes what the collect buffer holds, or raises the write error with its cause.
    void WriteCollected() {
        std::size_t done = 0;
        const WinError error =
            collected_ == 0 ? ErrorSuccess : output.Write(collect_.get(), collected_, done);
        const bool written = error == ErrorSuccess && done == collected_;
        collected_ = 0;
        if (!written)
            throw EArchive(CannotWriteOutputMessage, error != ErrorSuccess ? error : ErrorDiskFull);
    }

    TExpandedFile Expanded() const { return {{head_.data(), headSize_}, size_}; }

private:
    std::unique_ptr<std::uint8_t[]> transfer_;
    std::size_t transferAt_ = 0;              // next byte of the transfer buffer to hand out
    std::size_t transferCount_ = 0;           // bytes in the transfer buffer
    std::unique_ptr<std::uint8_t[]> collect_; // output gathered for one write
    std::size_t collected_ = 0;
    std::array<std::uint8_t, TExpandedFile::HeadSize> head_{};
    std::size_t headSize_ = 0;
    std::uint64_t size_ = 0;
};

// Binds the codec's handlers to one run for the lifetime of the binding.
class RunBinding {
public:
    RunBinding(TLZHCompressor& codec, ExpansionRun& run) : codec_(codec) {
        codec.OnGetBytes = [&run](TLZHCompressor*, void* DTA, Word NBytes, Word& Bytes_Got) {
            run.ReadInput(DTA, NBytes, Bytes_Got);
        };
        // Bytes_Put is not set: the codec never reads it back.
        codec.OnPutBytes = [&run](TLZHCompressor*, const void* DTA, Word NBytes, Word&) {
            run.WriteOutput(DTA, NBytes);
        };
        // Assigned, so that every expansion ends with the codec's pass of pending messages.
        codec.OnPressFinished = [](TLZHCompressor*) {};
    }
    ~RunBinding() {
        codec_.OnGetBytes = nullptr;
        codec_.OnPutBytes = nullptr;
        codec_.OnPressFinished = nullptr;
    }
    RunBinding(const RunBinding&) = delete;
    RunBinding& operator=(const RunBinding&) = delete;

private:
    TLZHCompressor& codec_;
};

} // namespace

void TArchive::ExpandFile(const std::string& inputName, const std::string& outputName,
                          const TExpandedCheck& check) {
    const WaitCursor waitCursor;
    ExpansionRun run;
    const WinError inputError = run.input.OpenRead(inputName);
    const WinError outputError = run.output.Begin(outputName);
    if (inputError != ErrorSuccess)
        throw EArchive(NotCompressedFileMessage, inputError);
    if (!run.ReadSignature())
        throw EArchive(NotCompressedFileMessage);
    if (outputError != ErrorSuccess)
        throw EArchive(CannotWriteOutputMessage, outputError);

    {
        const RunBinding binding(*this, run);
        Decode();
    }
    run.WriteCollected();
    if (check)
        check(run.Expanded());
    // Data still on its way to the disk can fail here, and then the file is incomplete.
    if (const WinError error = run.output.Commit())
        throw EArchive(CannotWriteOutputMessage, error);
}

void DecompressFile(const std::string& inputName, const std::string& outputName,
                    const TExpandedCheck& check) {
    TArchive archive;
    archive.ExpandFile(inputName, outputName, check);
}

} // namespace nimbrel
