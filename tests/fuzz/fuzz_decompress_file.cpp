// Arbitrary bytes as a compressed file, through DecompressFile into a scratch folder where
// the output file already exists. Half of the inputs get the signature in front, so the
// decoder is reached as often as the test. A failed expansion must leave the existing file
// byte for byte as it was, and nothing but the input and the output may be left behind.
#include "archive/archive.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/file_size_cap.h"
#include "fuzz/fuzz_scratch.h"

namespace {

// Past this the expansion fails as on a full disk; the seeds expand well within it.
constexpr std::uint64_t OutputCap = 64 << 10;

const std::vector<char> ExistingPicture = [] {
    std::vector<char> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 7 + 3);
    return bytes;
}();

std::vector<char> Contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const nimbrel::fuzz::ScratchFolder scratch("container");
    const auto input = scratch.folder / "IN.NWP";
    const auto output = scratch.folder / "OUT.BMP";
    {
        std::ofstream file(input, std::ios::binary | std::ios::trunc);
        if (size > 0 && (data[0] & 1)) {
            const char signature[] = {0x01, 0x00, 0x33, static_cast<char>(0xAC)};
            file.write(signature, sizeof signature);
            ++data;
            --size;
        }
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    std::ofstream(output, std::ios::binary | std::ios::trunc)
        .write(ExistingPicture.data(), static_cast<std::streamsize>(ExistingPicture.size()));
    try {
        const nimbrel::fuzz::FileSizeCap cap(OutputCap);
        nimbrel::DecompressFile("C:" + input.string(), "C:" + output.string());
    } catch (const nimbrel::EArchive&) {
        if (Contents(output) != ExistingPicture)
            __builtin_trap();
    }
    // Nothing but the input and what the expansion made may be left behind.
    for (const auto& entry : std::filesystem::directory_iterator(scratch.folder)) {
        const auto name = entry.path().filename();
        if (name != "IN.NWP" && name != "OUT.BMP" && name != "root")
            __builtin_trap();
    }
    return 0;
}
