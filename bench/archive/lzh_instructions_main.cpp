// Expands a packed photographic 24-bit BMP of about 1 MB once, memory to memory, for
// counting instructions per output byte with callgrind:
//   valgrind --tool=callgrind --toggle-collect='nimbrel::bench::ExpandOnce*' lzh-instructions
// Only the expansion is counted; making and packing the picture are not.
#include "memory_codec.h"
#include "plain_lzh_decoder.h"
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"

#include <cstdio>
#include <cstring>

namespace nimbrel::bench {
[[gnu::noinline]] std::size_t ExpandOnce(MemoryCodec& codec, std::span<const std::uint8_t> stream) {
    return codec.Expand(stream).size();
}
[[gnu::noinline]] std::size_t ExpandOncePlain(std::span<const std::uint8_t> stream) {
    return PlainLzhDecode(stream).size();
}
} // namespace nimbrel::bench

int main(int argc, char** argv) {
    using namespace nimbrel;
    const bool plain = argc > 1 && std::strcmp(argv[1], "--plain") == 0;
    const auto picture = test::MakePhotoBmp(592, 592);
    const auto stream = test::PackLzh(picture);
    bench::MemoryCodec codec;
    const std::size_t size =
        plain ? bench::ExpandOncePlain(stream) : bench::ExpandOnce(codec, stream);
    std::printf("%zu bytes from %zu (%s)\n", size, stream.size(), plain ? "plain" : "codec");
    return size == picture.size() ? 0 : 1;
}
