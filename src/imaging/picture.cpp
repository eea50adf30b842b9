#include "imaging/picture.h"

#include "imaging/graphic_errors.h"

#include <algorithm>
#include <vector>

namespace nimbrel {
namespace {

struct FileFormat {
    std::string extension;
    std::string description;
    TGraphicClass graphicClass;
};

std::vector<FileFormat>& Formats() {
    static std::vector<FileFormat> formats;
    return formats;
}

bool SameExtension(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

const FileFormat* Find(std::string_view extension) {
    const auto& formats = Formats();
    const auto found = std::find_if(formats.rbegin(), formats.rend(), [&](const FileFormat& f) {
        return SameExtension(f.extension, extension);
    });
    return found == formats.rend() ? nullptr : &*found;
}

std::string ExtensionOf(std::string_view path) {
    const auto dot = path.find_last_of('.');
    const auto separator = path.find_last_of("\\/:");
    if (dot == std::string_view::npos || (separator != std::string_view::npos && separator > dot))
        return {};
    return std::string(path.substr(dot + 1));
}

} // namespace

void TPicture::RegisterFileFormat(std::string_view extension, std::string_view description,
                                  TGraphicClass graphicClass) {
    Formats().push_back({std::string(extension), std::string(description), graphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass) {
    std::erase_if(Formats(), [&](const FileFormat& f) { return f.graphicClass == graphicClass; });
}

TGraphicClass TPicture::FindFileFormat(std::string_view extension) {
    const FileFormat* format = Find(extension);
    return format ? format->graphicClass : nullptr;
}

std::string TPicture::FileFormatDescription(std::string_view extension) {
    const FileFormat* format = Find(extension);
    return format ? format->description : std::string();
}

void TPicture::LoadFromFile(std::string_view path) {
    const std::string extension = ExtensionOf(path);
    const TGraphicClass graphicClass = FindFileFormat(extension);
    if (graphicClass == nullptr)
        throw EInvalidGraphic("Unknown picture file extension (." + extension + ")");
    std::unique_ptr<TGraphic> graphic = graphicClass->Create();
    graphic->LoadFromFile(path);
    SetGraphic(std::move(graphic));
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (graphic_)
        Attach(*graphic_);
    if (OnChange)
        OnChange(*this);
}

void TPicture::Attach(TGraphic& graphic) {
    graphic.OnChange = [this](TGraphic&) {
        if (OnChange)
            OnChange(*this);
    };
    graphic.OnProgress = [this](TGraphic& sender, TProgressStage stage, std::uint8_t percent,
                                bool redraw, const TRect& r, const std::string& msg) {
        if (OnProgress)
            OnProgress(sender, stage, percent, redraw, r, msg);
    };
}

} // namespace nimbrel
