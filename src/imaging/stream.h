#pragma once
// Byte streams that pictures load from and save to: an in-memory stream and a stream over
// a file opened through the platform layer (Windows paths, code page 1250).
#include "platform/files.h"
#include "sysutil/exception.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nimbrel {

class EStreamError : public Exception {
public:
    using Exception::Exception;
};
// "Stream read error": fewer bytes than required were there.
class EReadError : public EStreamError {
public:
    EReadError() : EStreamError("Stream read error") {}
};
// "Stream write error": the stream took fewer bytes than it was given.
class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("Stream write error") {}
};
// A file that cannot be opened or created; the message names the file.
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to `count` bytes; answers how many arrived (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes up to `count` bytes; answers how many were taken.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual std::uint64_t Size() const = 0;
    // Bytes from the position to the end.
    std::uint64_t Remaining() const;
    // Moves the position `count` bytes on without reading them, where the stream can and
    // they all lie before its end; false leaves the position, for the caller to read past.
    virtual bool Skip(std::uint64_t count);

    // All `count` bytes or EReadError / EWriteError.
    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count);
};

// Leaves bytes made without a value unset, for a caller about to overwrite them all.
template <class T> struct TUnsetAllocator : std::allocator<T> {
    template <class U> struct rebind { using other = TUnsetAllocator<U>; };
    TUnsetAllocator() = default;
    template <class U> TUnsetAllocator(const TUnsetAllocator<U>&) noexcept {}
    template <class U> void construct(U* at) noexcept { ::new (static_cast<void*>(at)) U; }
    template <class U, class... Args> void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
};
using TByteBuffer = std::vector<std::uint8_t, TUnsetAllocator<std::uint8_t>>;

// A growable buffer of bytes with a position.
class TMemoryStream : public TStream {
public:
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override { return position_; }
    std::uint64_t Size() const override { return bytes_.size(); }
    bool Skip(std::uint64_t count) override;

    // Moves the position, clamped to the size.
    void SetPosition(std::uint64_t position);
    // Resizes the buffer (new bytes are zero); the position stays within it.
    void SetSize(std::size_t size);
    // The same with the new bytes unset, for a caller that writes every one of them next.
    void SetSizeForOverwrite(std::size_t size);
    void Clear();

    const std::uint8_t* Memory() const { return bytes_.data(); }
    std::uint8_t* Memory() { return bytes_.data(); }
    const TByteBuffer& Bytes() const { return bytes_; }
    std::vector<std::uint8_t> CopyOfBytes() const { return {bytes_.begin(), bytes_.end()}; }

private:
    TByteBuffer bytes_;
    std::size_t position_ = 0;
};

// A file read or written from its start to its end, in order. A file written is made anew
// beside its target (platform::FileReplacement) and takes the target's place only at
// Close: a stream dropped before, or a failure, leaves the target as it was.
class TFileStream : public TStream {
public:
    enum class TMode { OpenRead, Create };
    // EFOpenError "Cannot open file "<path>"" or EFCreateError "Cannot create file "<path>""
    // (also for a name that must not be replaced by a plain file).
    TFileStream(std::string_view path, TMode mode);
    // A file already open for reading, whose size is known (from its folder's listing).
    TFileStream(platform::File opened, std::uint64_t size);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override { return position_; }
    std::uint64_t Size() const override;
    // A file read skips by moving its position: the bytes are not read at all.
    bool Skip(std::uint64_t count) override;

    // Closes; a written file is got to the disk and put in its target's place, and a failure
    // to do so is a write error (the target is then as it was).
    void Close();

private:
    platform::File file_;
    platform::FileReplacement written_;
    std::uint64_t position_ = 0;
    std::uint64_t size_ = 0; // at opening, for a file read; grows with writes otherwise
    TMode mode_;
};

} // namespace nimbrel
