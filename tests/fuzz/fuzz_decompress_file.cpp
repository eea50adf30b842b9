// Arbitrary bytes as a compressed file, through DecompressFile into a scratch folder. Half
// of the inputs get the signature in front, so the decoder is reached as often as the test.
#include "archive/archive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "platform/portable/environment.h"

namespace {

struct Scratch {
    std::filesystem::path folder;
    Scratch() {
        folder =
            std::filesystem::temp_directory_path() / ("nimbrel-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder / "root");
        ::setenv("NIMBREL_ROOT", (folder / "root").c_str(), 1);
        nimbrel::platform::portable::ResetEnvironment();
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
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
    try {
        nimbrel::DecompressFile("C:" + input.string(), "C:" + output.string());
    } catch (const nimbrel::EArchive&) {
    }
    std::error_code ignored;
    std::filesystem::remove(output, ignored);
    // Nothing but the input and what the expansion made may be left behind.
    for (const auto& entry : std::filesystem::directory_iterator(scratch.folder)) {
        const auto name = entry.path().filename();
        if (name != "IN.NWP" && name != "root")
            __builtin_trap();
    }
    return 0;
}
