#include "archive/archive.h"

#include "sysutil/screen_cursor.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace nimbrel {
namespace {

using platform::ErrorSuccess;

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

// The file the expansion writes, beside its target; deleted unless it was put in place.
class TemporaryOutput {
public:
    explicit TemporaryOutput(const std::string& target) {
        if (platform::CreateTempFileBeside(target, path_) != ErrorSuccess)
            path_.clear();
    }
    ~TemporaryOutput() {
        if (!path_.empty())
            platform::DeleteFile(path_);
    }
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    bool Exists() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    bool MoveTo(const std::string& target) {
        if (platform::ReplaceFile(path_, target) != ErrorSuccess)
            return false;
        path_.clear();
        return true;
    }

private:
    std::string path_;
};

// Closes a file on every path out of a scope (a failure there no longer matters).
class CloseOnExit {
public:
    explicit CloseOnExit(platform::File& file) : file_(file) {}
    ~CloseOnExit() { file_ = platform::File(); }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

private:
    platform::File& file_;
};

} // namespace

TArchive::TArchive()
    : transfer_(std::make_unique<std::uint8_t[]>(TransferBufferSize)),
      collect_(std::make_unique<std::uint8_t[]>(TransferBufferSize)) {}

void TArchive::ExpandFile(const std::string& inputName, const std::string& outputName) {
    const WaitCursor waitCursor;

    const CloseOnExit closeInput(input_);
    const bool inputOpen = input_.OpenRead(inputName) == ErrorSuccess;

    // Declared before the output's closer, so the file is closed before it is deleted.
    TemporaryOutput temporary(outputName);
    const CloseOnExit closeOutput(output_);
    const bool outputOpen = temporary.Exists() && output_.Create(temporary.Path()) == ErrorSuccess;

    if (!inputOpen || !ReadSignature())
        throw EArchive(NotCompressedFileMessage);
    if (!outputOpen)
        throw EArchive(CannotWriteOutputMessage);

    readFailed_ = false;
    writeFailed_ = false;
    transferAt_ = transferCount_ = 0;
    collected_ = 0;
    OnGetBytes = std::bind_front(&TArchive::ReadInput, this);
    OnPutBytes = std::bind_front(&TArchive::WriteOutput, this);
    OnPressFinished = std::bind_front(&TArchive::ExpandDone, this);
    Decode();

    // An input that could not be read to its end is not expanded: nothing takes the
    // target's place.
    if (readFailed_)
        throw EArchive(NotCompressedFileMessage);
    // A write that failed in the loop ended the decoding there, even when the final flush
    // then got that block out: the output is short.
    if (writeFailed_ || !WriteCollected())
        throw EArchive(CannotWriteOutputMessage);
    // Data still on its way to the disk can fail here, and then the file is incomplete.
    if (output_.Close() != ErrorSuccess || !temporary.MoveTo(outputName))
        throw EArchive(CannotWriteOutputMessage);
}

bool TArchive::ReadSignature() {
    std::array<std::uint8_t, 4> head{};
    std::size_t have = 0;
    while (have < head.size()) {
        std::size_t done = 0;
        if (input_.Read(head.data() + have, head.size() - have, done) != ErrorSuccess || done == 0)
            return false;
        have += done;
    }
    return head == CompressedFileSignature;
}

void TArchive::ReadInput(TLZHCompressor*, void* DTA, Word NBytes, Word& Bytes_Got) {
    // The transfer buffer is filled by one read of at most its size and handed out in the
    // pieces the codec asks for, so a 1,024-byte request is not a system call each.
    if (transferAt_ == transferCount_ && !readFailed_) {
        transferAt_ = transferCount_ = 0;
        if (input_.Read(transfer_.get(), TransferBufferSize, transferCount_) != ErrorSuccess) {
            // Ends the expansion as at the end of the input; ExpandFile then reports it.
            readFailed_ = true;
            transferCount_ = 0;
        }
        transferCount_ = std::min(transferCount_, TransferBufferSize);
    }
    const std::size_t n = std::min<std::size_t>(NBytes, transferCount_ - transferAt_);
    std::memcpy(DTA, transfer_.get() + transferAt_, n);
    transferAt_ += n;
    Bytes_Got = static_cast<Word>(n);
}

void TArchive::WriteOutput(TLZHCompressor*, const void* DTA, Word NBytes, Word&) {
    // The codec's blocks are gathered into writes of the collect buffer's size: the file
    // takes the same bytes with a sixteenth of the system calls. Nothing of the file is
    // seen before the expansion has succeeded, so a failure found at a later write is as
    // good as one found now.
    const auto* bytes = static_cast<const std::uint8_t*>(DTA);
    std::size_t left = NBytes;
    while (left > 0) {
        if (collected_ == TransferBufferSize && !WriteCollected())
            FailWrite();
        const std::size_t n = std::min(left, TransferBufferSize - collected_);
        std::memcpy(collect_.get() + collected_, bytes, n);
        collected_ += n;
        bytes += n;
        left -= n;
    }
}

bool TArchive::WriteCollected() {
    std::size_t done = 0;
    const bool written =
        collected_ == 0 ||
        (output_.Write(collect_.get(), collected_, done) == ErrorSuccess && done == collected_);
    collected_ = 0;
    return written;
}

void TArchive::FailWrite() {
    writeFailed_ = true;
    throw EArchive(CannotWriteOutputMessage);
}

void TArchive::ExpandDone(TLZHCompressor*) {}

void DecompressFile(const std::string& inputName, const std::string& outputName) {
    TArchive archive;
    archive.ExpandFile(inputName, outputName);
}

} // namespace nimbrel
