// make-picture-folder FOLDER COUNT: a wallpaper folder as years leave it, for trying the
// folder commands and their contact sheet: mostly JPEG pictures of many sizes and kinds,
// some bitmaps, some legacy NWP files, and a few damaged files of every kind.
#include "support/bmp_maker.h"
#include "support/jpeg_maker.h"
#include "support/nwp_packer.h"
#include "support/photo_bmp.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace nimbrel::test;

void Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> Cut(std::vector<std::uint8_t> bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: make-picture-folder FOLDER COUNT\n", stderr);
        return 2;
    }
    const std::string folder = argv[1];
    const int count = std::atoi(argv[2]);
    std::filesystem::create_directories(folder);
    const JpegKind kinds[] = {JpegKind::Baseline420, JpegKind::Baseline444, JpegKind::Progressive,
                              JpegKind::Grayscale};
    const int sizes[][2] = {{640, 480},  {800, 600}, {1024, 768},
                            {1280, 720}, {480, 640}, {300, 300}};
    char name[64];
    for (int i = 0; i < count; ++i) {
        const int* size = sizes[i % 6];
        const int pick = i % 40;
        std::vector<std::uint8_t> bytes;
        if (pick < 28) {
            std::snprintf(name, sizeof name, "photo%04d.jpg", i);
            bytes = MakeJpeg({kinds[i % 4], size[0], size[1], 85});
        } else if (pick < 33) {
            std::snprintf(name, sizeof name, "Bitmap%04d.bmp", i);
            bytes = MakePhotoBmp(size[0] / 2, size[1] / 2, static_cast<std::uint32_t>(i));
        } else if (pick < 36) {
            std::snprintf(name, sizeof name, "OLD%04d.NWP", i);
            bytes = PackNwp(MakePhotoBmp(size[0] / 4, size[1] / 4, static_cast<std::uint32_t>(i)));
        } else if (pick == 36) {
            std::snprintf(name, sizeof name, "cut%04d.jpg", i);
            const auto whole = MakeJpeg({JpegKind::Baseline420, size[0], size[1], 85});
            bytes = Cut(whole, whole.size() / 2);
        } else if (pick == 37) {
            std::snprintf(name, sizeof name, "print%04d.jpg", i);
            bytes = MakeJpeg({JpegKind::Cmyk, 64, 64, 85});
        } else if (pick == 38) {
            std::snprintf(name, sizeof name, "notes%04d.jpg", i);
            const std::string text = "not a picture at all";
            bytes.assign(text.begin(), text.end());
        } else {
            std::snprintf(name, sizeof name, "broken%04d.bmp", i);
            bytes = Cut(MakeBmp({.width = 64, .height = 48}), 100);
        }
        Write(folder + "/" + name, bytes);
    }
    return 0;
}
