#include "tools/output_file_stream.h"

#include "tools/output_file.h"
#include "tools/tool_output.h"

#include <algorithm>
#include <cstring>

namespace nimbrel::tool {

TOutputFileStream::TOutputFileStream(const std::string& path, const std::string& shown)
    : path_(path), shown_(shown) {
    if (const platform::WinError error = file_.Begin(path_))
        Fail(error);
    gathered_ = std::make_unique_for_overwrite<std::uint8_t[]>(GatherSize);
}

std::size_t TOutputFileStream::Write(const void* buffer, std::size_t count) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::size_t left = count;
    while (left > 0) {
        if (gatheredCount_ == GatherSize)
            Flush();
        const std::size_t n = std::min(left, GatherSize - gatheredCount_);
        std::memcpy(gathered_.get() + gatheredCount_, bytes, n);
        gatheredCount_ += n;
        bytes += n;
        left -= n;
    }
    written_ += count;
    return count;
}

void TOutputFileStream::Finish() {
    Flush();
    if (const platform::WinError error = file_.Commit())
        Fail(error);
}

void TOutputFileStream::Flush() {
    std::size_t done = 0;
    const platform::WinError error = gatheredCount_ == 0
                                         ? platform::ErrorSuccess
                                         : file_.Write(gathered_.get(), gatheredCount_, done);
    gatheredCount_ = 0;
    if (error != platform::ErrorSuccess)
        Fail(error);
}

void TOutputFileStream::Fail(platform::WinError error) {
    file_.Abandon(); // the target stays as it was
    throw ToolError(OutputFailureMessage(path_, shown_, error));
}

} // namespace nimbrel::tool
