// make-samples FOLDER: the demonstration pictures of samples/, drawn here and written by the
// program's own picture code (BMP files by the bitmap, JPEG files by the JPEG picture).
#include "imaging/bitmap.h"
#include "imaging/jpeg_image.h"
#include "platform/portable/environment.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

namespace {

using namespace nimbrel;

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// A landscape: a sky from `top` to `horizon`, a sun, and rolling hills of `land`.
struct Scene {
    const char* name;
    Rgb top, horizon, land, sun;
    double sunX, sunY, hillPhase;
};

void Draw(const Scene& scene, int width, int height, TBitmap& bitmap) {
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    bitmap.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width;
            const double v = double(y) / height;
            const double hill = 0.62 + 0.08 * std::sin(u * 9.0 + scene.hillPhase) +
                                0.04 * std::sin(u * 23.0 + 2 * scene.hillPhase);
            Rgb colour = Mix(scene.top, scene.horizon, std::min(1.0, v / hill));
            const double sun = std::hypot(u - scene.sunX, (v - scene.sunY) * height / width);
            if (sun < 0.06)
                colour = scene.sun;
            else if (sun < 0.12)
                colour = Mix(scene.sun, colour, (sun - 0.06) / 0.06);
            if (v > hill)
                colour = Mix(scene.land, {0.05, 0.1, 0.05}, (v - hill) / (1 - hill));
            row[3 * x + 0] = static_cast<std::uint8_t>(std::clamp(colour.b, 0.0, 1.0) * 255);
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(colour.g, 0.0, 1.0) * 255);
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(colour.r, 0.0, 1.0) * 255);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-samples FOLDER\n");
        return 2;
    }
    try {
        const auto folder = std::filesystem::absolute(argv[1]);
        std::filesystem::create_directories(folder);
        auto windowsPath = [&](const std::string& name) {
            const auto path = platform::portable::WindowsPath((folder / name).string());
            if (!path)
                throw std::runtime_error("the folder lies on no drive of the environment");
            return *path;
        };
        const Scene scenes[] = {
            {"sunset",
             {0.15, 0.1, 0.35},
             {1.0, 0.55, 0.2},
             {0.25, 0.2, 0.1},
             {1, 0.9, 0.5},
             0.7,
             0.55,
             0.3},
            {"meadow",
             {0.2, 0.45, 0.9},
             {0.75, 0.88, 1.0},
             {0.3, 0.65, 0.2},
             {1, 1, 0.85},
             0.2,
             0.2,
             1.7},
            {"dusk",
             {0.05, 0.05, 0.2},
             {0.45, 0.3, 0.6},
             {0.15, 0.15, 0.2},
             {0.9, 0.9, 1},
             0.35,
             0.3,
             4.1},
            {"dunes",
             {0.35, 0.6, 0.95},
             {0.95, 0.85, 0.7},
             {0.85, 0.65, 0.35},
             {1, 1, 0.9},
             0.8,
             0.15,
             2.6},
        };
        for (std::size_t i = 0; i < std::size(scenes); ++i) {
            TBitmap bitmap;
            Draw(scenes[i], 200, 150, bitmap);
            const std::string name = scenes[i].name;
            if (i % 2 == 0) {
                TJPEGImage jpeg;
                jpeg.Assign(bitmap);
                jpeg.SaveToFile(windowsPath(name + ".jpg"));
            } else {
                bitmap.SaveToFile(windowsPath(name + ".bmp"));
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-samples: %s\n", error.what());
        return 1;
    }
    return 0;
}
