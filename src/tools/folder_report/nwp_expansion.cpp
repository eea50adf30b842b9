#include "tools/folder_report/nwp_expansion.h"

#include "archive/archive.h"
#include "platform/files.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace nimbrel::report {
namespace {

// Raised by the output handler to end a run that has given enough bytes.
struct EnoughBytes {};

bool ReadAll(platform::File& file, std::uint8_t* buffer, std::size_t size) {
    std::size_t have = 0;
    while (have < size) {
        std::size_t done = 0;
        if (file.Read(buffer + have, size - have, done) != platform::ErrorSuccess || done == 0)
            return false;
        have += done;
    }
    return true;
}

} // namespace

NwpExpansion ExpandNwp(std::string_view path, std::uint64_t limit, TMemoryStream& out,
                       std::uint64_t* fileSize) {
    platform::File file;
    std::uint64_t size = 0;
    if (file.OpenRead(path) != platform::ErrorSuccess || file.Size(size) != platform::ErrorSuccess)
        return NwpExpansion::Unreadable;
    if (fileSize)
        *fileSize = size;
    std::array<std::uint8_t, 4> signature{};
    if (!ReadAll(file, signature.data(), signature.size()) || signature != CompressedFileSignature)
        return NwpExpansion::NotCompressed;

    bool readFailed = false;
    TLZHCompressor codec;
    codec.OnGetBytes = [&](TLZHCompressor*, void* to, Word count, Word& got) {
        std::size_t done = 0;
        if (!readFailed && file.Read(to, count, done) != platform::ErrorSuccess) {
            readFailed = true;
            done = 0;
        }
        got = static_cast<Word>(readFailed ? 0 : std::min<std::size_t>(done, count));
    };
    codec.OnPutBytes = [&](TLZHCompressor*, const void* from, Word count, Word&) {
        std::size_t take = count;
        if (limit != 0)
            take = static_cast<std::size_t>(std::min<std::uint64_t>(take, limit - out.Size()));
        out.WriteBuffer(from, take);
        if (limit != 0 && out.Size() >= limit)
            throw EnoughBytes{};
    };
    try {
        codec.Decode();
    } catch (const EnoughBytes&) {
        // The final flush reached the limit.
    }
    return readFailed ? NwpExpansion::Unreadable : NwpExpansion::Expanded;
}

} // namespace nimbrel::report
