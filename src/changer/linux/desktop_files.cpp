#include "changer/linux/desktop_files.h"

#include "imaging/bmp_format.h"
#include "imaging/stream.h"
#include "sysutil/exception.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace nimbrel::changer {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A stream over a host file, for the BMP writer.
class HostFileStream : public TStream {
public:
    explicit HostFileStream(std::FILE* file) : file_(file) {}
    std::size_t Read(void*, std::size_t) override { return 0; }
    std::size_t Write(const void* buffer, std::size_t count) override {
        const std::size_t done = std::fwrite(buffer, 1, count, file_);
        position_ += done;
        return done;
    }
    std::uint64_t Position() const override { return position_; }
    std::uint64_t Size() const override { return position_; }

private:
    std::FILE* file_;
    std::uint64_t position_ = 0;
};

// The part of the wallpaper one file shows.
std::unique_ptr<TBitmap> Cut(const TBitmap& wallpaper, const MonitorRect& part) {
    auto cut = std::make_unique<TBitmap>();
    cut->SetPixelFormat(TPixelFormat::pf24bit);
    cut->SetSize(part.width, part.height);
    for (int y = 0; y < part.height; ++y)
        std::memcpy(cut->ScanLine(y), wallpaper.ScanLine(part.top + y) + part.left * 3,
                    static_cast<std::size_t>(part.width) * 3);
    return cut;
}

void WriteBmpFile(const TBitmap& bitmap, std::FILE* file) {
    HostFileStream stream(file);
    WriteBmp(stream, bitmap);
}

// Fast rather than small: the file lives for one interval.
void WritePngFile(const TBitmap& bitmap, std::FILE* file) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw Exception("out of memory for the PNG encoder");
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw Exception("the PNG encoder failed");
    }
    png_init_io(png, file);
    png_set_compression_level(png, 1);
    png_set_filter(png, 0, PNG_FILTER_SUB);
    png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.Width()),
                 static_cast<png_uint_32>(bitmap.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png); // the bitmap's rows are blue, green, red
    for (int y = 0; y < bitmap.Height(); ++y)
        png_write_row(png, const_cast<png_bytep>(bitmap.ScanLine(y)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
}

std::string Stamp() {
    static long long last = 0;
    long long now = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::system_clock::now().time_since_epoch())
                        .count();
    last = std::max(now, last + 1); // two changes within a millisecond still differ
    return std::to_string(last);
}

} // namespace

DesktopFiles::DesktopFiles(std::string folder, DesktopFileFormat format)
    : folder_(std::move(folder)), format_(format) {}

std::vector<std::string> DesktopFiles::Write(const TBitmap& wallpaper,
                                             const std::vector<MonitorRect>& parts) {
    std::error_code ignored;
    std::filesystem::create_directories(folder_, ignored); // a failure shows in the write
    const std::string stamp = Stamp();
    const char* extension = format_ == DesktopFileFormat::Png ? ".png" : ".bmp";
    std::vector<std::string> written;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const MonitorRect& part = parts[i];
        const bool whole = part.left == 0 && part.top == 0 && part.width == wallpaper.Width() &&
                           part.height == wallpaper.Height();
        const std::string path = folder_ + "/wallpaper-" + stamp +
                                 (parts.size() > 1 ? "-" + std::to_string(i) : "") + extension;
        const std::string partial = path + ".part";
        FileHandle file(std::fopen(partial.c_str(), "wb"));
        if (!file)
            throw Exception("cannot write " + partial + ": " + std::strerror(errno));
        try {
            const std::unique_ptr<TBitmap> cut = whole ? nullptr : Cut(wallpaper, part);
            const TBitmap& picture = whole ? wallpaper : *cut;
            if (format_ == DesktopFileFormat::Png)
                WritePngFile(picture, file.get());
            else
                WriteBmpFile(picture, file.get());
            if (std::fflush(file.get()) != 0 || std::ferror(file.get()))
                throw Exception("cannot write " + partial + ": " + std::strerror(errno));
        } catch (...) {
            file.reset();
            std::remove(partial.c_str());
            throw;
        }
        file.reset();
        if (std::rename(partial.c_str(), path.c_str()) != 0)
            throw Exception("cannot name " + path + ": " + std::strerror(errno));
        written.push_back(path);
    }
    return written;
}

void DesktopFiles::RemoveAllBut(const std::vector<std::string>& keep) const {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        const std::string path = entry.path().string();
        if (std::find(keep.begin(), keep.end(), path) == keep.end() &&
            entry.path().filename().string().starts_with("wallpaper-"))
            std::filesystem::remove(entry.path(), error);
    }
}

std::string FileUri(const std::string& hostPath) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const unsigned char c : hostPath) {
        const bool alphanumeric =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (alphanumeric || c == '/' || c == '-' || c == '_' || c == '.' || c == '~')
            uri += static_cast<char>(c);
        else {
            uri += '%';
            uri += Hex[c >> 4];
            uri += Hex[c & 15];
        }
    }
    return uri;
}

} // namespace nimbrel::changer
