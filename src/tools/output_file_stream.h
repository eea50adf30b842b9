#pragma once
// A command's output file written as a stream (decode OUT.bmp): as WriteOutputFile writes
// it, beside its target first and in its place only when whole, but without the whole file
// held in memory first. Small writes are gathered into large ones.
#include "imaging/stream.h"
#include "platform/files.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace nimbrel::tool {

class TOutputFileStream : public TStream {
public:
    // Raises ToolError naming `shown` and the cause when the file cannot be made.
    TOutputFileStream(const std::string& path, const std::string& shown);
    // A stream dropped before Finish leaves the target as it was.
    ~TOutputFileStream() override = default;
    TOutputFileStream(const TOutputFileStream&) = delete;
    TOutputFileStream& operator=(const TOutputFileStream&) = delete;

    std::size_t Read(void*, std::size_t) override { return 0; }
    // Takes every byte or raises ToolError with the cause (a full disk, ...).
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override { return written_; }
    std::uint64_t Size() const override { return written_; }

    // Writes what is gathered and puts the file in its target's place, or raises ToolError.
    void Finish();

private:
    void Flush();
    [[noreturn]] void Fail(platform::WinError error);

    static constexpr std::size_t GatherSize = 1 << 20;
    std::string path_;
    std::string shown_;
    platform::FileReplacement file_;
    std::unique_ptr<std::uint8_t[]> gathered_;
    std::size_t gatheredCount_ = 0;
    std::uint64_t written_ = 0;
};

} // namespace nimbrel::tool
