#include "wallpaper_folder/nwp_verdict.h"

#include "archive/archive.h"
#include "archive/bitmap_completeness.h"
#include "platform/files.h"
#include "wallpaper_folder/nwp_expansion.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

namespace nimbrel::wallpaper {
namespace {

// Reads a file alongside an expansion and tells whether the two hold the same bytes.
class SameBytes {
public:
    explicit SameBytes(std::string_view path) {
        same_ = file_.OpenRead(path) == platform::ErrorSuccess;
    }
    // False once the file differs; then it is read no further.
    bool Compare(const std::uint8_t* bytes, std::size_t count) {
        while (same_ && count > 0) {
            std::size_t done = 0;
            const std::size_t want = std::min(count, buffer_.size());
            if (file_.Read(buffer_.data(), want, done) != platform::ErrorSuccess || done == 0 ||
                std::memcmp(buffer_.data(), bytes, done) != 0) {
                same_ = false;
                break;
            }
            bytes += done;
            count -= done;
        }
        return same_;
    }
    // Whether the whole file was the expansion: nothing is left of it.
    bool SameToTheEnd() {
        std::size_t done = 0;
        return same_ && file_.Read(buffer_.data(), 1, done) == platform::ErrorSuccess && done == 0;
    }

private:
    platform::File file_;
    std::array<std::uint8_t, 16384> buffer_{};
    bool same_ = false;
};

} // namespace

NwpVerdict JudgeNwpFile(std::string_view nwpPath, std::string_view comparePath) {
    NwpVerdict verdict;
    std::vector<std::uint8_t> head;
    head.reserve(TExpandedFile::HeadSize);
    std::optional<SameBytes> compared;
    if (!comparePath.empty())
        compared.emplace(comparePath);
    const NwpExpansion expansion =
        ExpandNwp(nwpPath, [&](const std::uint8_t* bytes, std::size_t count) {
            const std::size_t toHead = std::min(count, TExpandedFile::HeadSize - head.size());
            head.insert(head.end(), bytes, bytes + toHead);
            verdict.expandedSize += count;
            if (compared)
                compared->Compare(bytes, count);
            return true;
        });
    verdict.fileSize = expansion.fileSize;
    verdict.cause = expansion.cause;
    if (expansion.outcome == NwpExpansion::Unreadable) {
        verdict.state = NwpState::Unreadable;
        return verdict;
    }
    if (expansion.fileSize == 0) {
        verdict.state = NwpState::Empty;
        return verdict;
    }
    if (expansion.outcome == NwpExpansion::NotCompressed) {
        verdict.state = NwpState::NotCompressed;
        return verdict;
    }
    const TBitmapShape shape = ExamineBitmapHead(head, verdict.expandedSize);
    verdict.width = shape.width;
    verdict.height = shape.height;
    verdict.state = shape.complete ? NwpState::Convertible : NwpState::NotCompleteBitmap;
    verdict.sameAsCompared = compared && compared->SameToTheEnd();
    return verdict;
}

} // namespace nimbrel::wallpaper
