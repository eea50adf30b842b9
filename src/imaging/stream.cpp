#include "imaging/stream.h"

#include "platform/memory.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace nimbrel {

std::uint64_t TStream::Remaining() const {
    const std::uint64_t size = Size();
    const std::uint64_t position = Position();
    return position < size ? size - position : 0;
}

bool TStream::Skip(std::uint64_t) {
    return false;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    while (count > 0) {
        const std::size_t done = Read(bytes, count);
        if (done == 0)
            throw EReadError();
        bytes += done;
        count -= done;
    }
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    if (count > 0 && Write(buffer, count) != count)
        throw EWriteError();
}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    const std::size_t done = std::min(count, bytes_.size() - position_);
    if (done > 0)
        std::memcpy(buffer, bytes_.data() + position_, done);
    position_ += done;
    return done;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return 0;
    if (position_ + count > bytes_.size())
        bytes_.resize(position_ + count);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ += count;
    return count;
}

bool TMemoryStream::Skip(std::uint64_t count) {
    if (count > Remaining())
        return false;
    position_ += static_cast<std::size_t>(count);
    return true;
}

void TMemoryStream::SetPosition(std::uint64_t position) {
    position_ = static_cast<std::size_t>(std::min<std::uint64_t>(position, bytes_.size()));
}

void TMemoryStream::SetSize(std::size_t size) {
    const std::size_t had = bytes_.size();
    SetSizeForOverwrite(size);
    if (size > had)
        std::memset(bytes_.data() + had, 0, size - had);
}

void TMemoryStream::SetSizeForOverwrite(std::size_t size) {
    // A large growth is mostly a whole file read in next: its pages are provided at once,
    // not one by one as they are first written.
    constexpr std::size_t LargeBlock = std::size_t{1} << 20;
    if (size > bytes_.capacity() && size - bytes_.size() >= LargeBlock) {
        bytes_.reserve(size);
        platform::ProvideBlockAtOnce(bytes_.data() + bytes_.size(), size - bytes_.size());
    }
    bytes_.resize(size);
    position_ = std::min(position_, size);
}

void TMemoryStream::Clear() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    position_ = 0;
}

TFileStream::TFileStream(std::string_view path, TMode mode) : mode_(mode) {
    if (mode == TMode::OpenRead) {
        if (file_.OpenRead(path) != platform::ErrorSuccess ||
            file_.Size(size_) != platform::ErrorSuccess)
            throw EFOpenError("Cannot open file \"" + std::string(path) + "\"");
    } else if (written_.Begin(path) != platform::ErrorSuccess) {
        throw EFCreateError("Cannot create file \"" + std::string(path) + "\"");
    }
}

TFileStream::TFileStream(platform::File opened, std::uint64_t size)
    : file_(std::move(opened)), size_(size), mode_(TMode::OpenRead) {}

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    std::size_t done = 0;
    if (mode_ != TMode::OpenRead || file_.Read(buffer, count, done) != platform::ErrorSuccess)
        return 0;
    position_ += done;
    return done;
}

bool TFileStream::Skip(std::uint64_t count) {
    if (mode_ != TMode::OpenRead || count > Remaining() ||
        file_.Seek(position_ + count) != platform::ErrorSuccess)
        return false;
    position_ += count;
    return true;
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
    std::size_t done = 0;
    if (mode_ != TMode::Create || written_.Write(buffer, count, done) != platform::ErrorSuccess)
        return 0;
    position_ += done;
    size_ = std::max(size_, position_);
    return done;
}

std::uint64_t TFileStream::Size() const {
    return size_;
}

void TFileStream::Close() {
    if (mode_ == TMode::OpenRead) {
        if (file_.IsOpen())
            (void)file_.Close(); // nothing was written, so nothing can be lost
        return;
    }
    if (written_.IsOpen() && written_.Commit() != platform::ErrorSuccess)
        throw EWriteError();
}

} // namespace nimbrel
