#include "wallpaper_folder/nwp_expansion.h"

#include "archive/archive.h"
#include "platform/files.h"

#include <algorithm>
#include <array>

namespace nimbrel::wallpaper {
namespace {

// Raised by the output handler to end a run whose taker has had enough.
struct EnoughBytes {};

platform::WinError ReadAll(platform::File& file, std::uint8_t* buffer, std::size_t size,
                           bool& whole) {
    std::size_t have = 0;
    whole = false;
    while (have < size) {
        std::size_t done = 0;
        if (const platform::WinError error = file.Read(buffer + have, size - have, done))
            return error;
        if (done == 0)
            return platform::ErrorSuccess;
        have += done;
    }
    whole = true;
    return platform::ErrorSuccess;
}

} // namespace

NwpExpansion ExpandNwp(std::string_view path, const ExpandedBytesTaker& take) {
    NwpExpansion result;
    platform::File file;
    result.cause = file.OpenRead(path);
    if (result.cause == platform::ErrorSuccess)
        result.cause = file.Size(result.fileSize);
    if (result.cause != platform::ErrorSuccess) {
        result.outcome = NwpExpansion::Unreadable;
        return result;
    }
    std::array<std::uint8_t, 4> signature{};
    bool whole = false;
    result.cause = ReadAll(file, signature.data(), signature.size(), whole);
    if (result.cause != platform::ErrorSuccess) {
        result.outcome = NwpExpansion::Unreadable;
        return result;
    }
    if (!whole || signature != CompressedFileSignature) {
        result.outcome = NwpExpansion::NotCompressed;
        return result;
    }

    TLZHCompressor codec;
    codec.OnGetBytes = [&](TLZHCompressor*, void* to, Word count, Word& got) {
        std::size_t done = 0;
        if (result.cause == platform::ErrorSuccess)
            result.cause = file.Read(to, count, done);
        got = static_cast<Word>(
            result.cause != platform::ErrorSuccess ? 0 : std::min<std::size_t>(done, count));
    };
    codec.OnPutBytes = [&](TLZHCompressor*, const void* from, Word count, Word&) {
        if (!take(static_cast<const std::uint8_t*>(from), count))
            throw EnoughBytes{};
    };
    try {
        codec.Decode();
    } catch (const EnoughBytes&) {
        // The taker has what it needs.
    }
    if (result.cause != platform::ErrorSuccess)
        result.outcome = NwpExpansion::Unreadable;
    return result;
}

NwpExpansion ExpandNwp(std::string_view path, std::uint64_t limit, TMemoryStream& out) {
    return ExpandNwp(path, [&](const std::uint8_t* bytes, std::size_t count) {
        std::size_t take = count;
        if (limit != 0)
            take = static_cast<std::size_t>(std::min<std::uint64_t>(take, limit - out.Size()));
        out.WriteBuffer(bytes, take);
        return limit == 0 || out.Size() < limit;
    });
}

} // namespace nimbrel::wallpaper
