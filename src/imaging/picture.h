#pragma once
// TPicture: a holder of one picture of any registered format, and the registry of file
// formats that maps a file's extension to the picture class that reads it.
#include "imaging/graphic.h"

#include <memory>
#include <string>
#include <string_view>

namespace nimbrel {

class TPicture {
public:
    // Adds a format: extension without the dot ("jpg"), a description, the class.
    static void RegisterFileFormat(std::string_view extension, std::string_view description,
                                   TGraphicClass graphicClass);
    // Removes every format of the class.
    static void UnregisterGraphicClass(TGraphicClass graphicClass);
    // The class for the extension (no dot), ignoring letter case; the most recent
    // registration wins. nullptr when none is registered.
    static TGraphicClass FindFileFormat(std::string_view extension);
    // The description registered with the extension ("" when none).
    static std::string FileFormatDescription(std::string_view extension);

    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // Makes a picture of the class registered for the file's extension and loads the file
    // into it. An unregistered extension raises EInvalidGraphic "Unknown picture file
    // extension (.ext)"; on any failure the held picture stays as it was.
    void LoadFromFile(std::string_view path);
    // The held picture, or nullptr.
    TGraphic* Graphic() const { return graphic_.get(); }
    // Replaces the held picture (nullptr empties the holder).
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }

    // Raised when another picture is held or the held one changed.
    std::function<void(TPicture& Sender)> OnChange;
    // Passed on from the held picture.
    TProgressEvent OnProgress;

private:
    void Attach(TGraphic& graphic);

    std::unique_ptr<TGraphic> graphic_;
};

} // namespace nimbrel
