#pragma once
// The abstract picture: something that can load itself from a stream or file, report its
// size, draw itself stretched onto a canvas and tell listeners when it changed or how far a
// long operation has come.
#include "imaging/canvas.h"
#include "imaging/palette.h"
#include "imaging/stream.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

class TGraphic;

enum class TProgressStage : std::uint8_t { psStarting = 0, psRunning = 1, psEnding = 2 };

using TNotifyEvent = std::function<void(TGraphic& Sender)>;
// A listener may raise EAbort to stop the operation quietly.
using TProgressEvent =
    std::function<void(TGraphic& Sender, TProgressStage Stage, std::uint8_t PercentDone,
                       bool RedrawNow, const TRect& R, const std::string& Msg)>;

// Clipboard data as the platform's clipboard holds a picture: a format number, the bytes
// and a palette.
struct TClipboardPicture {
    std::uint16_t Format = 0; // CF_DIB (8): a packed device-independent bitmap
    std::vector<std::uint8_t> Data;
    TPaletteHandle Palette;
};
constexpr std::uint16_t CF_DIB = 8;

class TGraphic {
public:
    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;
    virtual ~TGraphic() = default;

    // The class's name, as messages show it ("TBitmap", "TJPEGImage").
    virtual const char* ClassName() const = 0;

    // Copies `source` into this picture. The base hands the work to source.AssignTo(*this),
    // whose own base refuses with EConvertError "Cannot assign a <source> to a <this>".
    virtual void Assign(const TGraphic& source);
    virtual void AssignTo(TGraphic& dest) const;

    // Draws the picture stretched into `rect`.
    virtual void Draw(TCanvas& canvas, const TRect& rect) = 0;
    // Same class and same saved bytes (both empty counts as equal).
    virtual bool Equals(const TGraphic& other) const;
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    virtual TPaletteHandle Palette() const { return nullptr; }
    virtual void SetPalette(TPaletteHandle /*palette*/) {}
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value);

    // The picture's persistent form inside a larger stream.
    virtual void ReadData(TStream& stream);
    virtual void WriteData(TStream& stream);

    // Reads from the stream's position to its end / writes the picture's file form.
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // Opens the file for reading, loads from it, closes it.
    void LoadFromFile(std::string_view path);
    // Creates the file, saves into it, closes it (a failed close is a write error).
    void SaveToFile(std::string_view path);

    virtual void LoadFromClipboardFormat(const TClipboardPicture& data) = 0;
    virtual void SaveToClipboardFormat(TClipboardPicture& data) = 0;

    bool PaletteModified() const { return paletteModified_; }
    void SetPaletteModified(bool value) { paletteModified_ = value; }

    TNotifyEvent OnChange;
    TProgressEvent OnProgress;

    // Raises OnChange (when someone listens).
    virtual void Changed();
    // Raises OnProgress (when someone listens).
    void Progress(TProgressStage stage, std::uint8_t percentDone, bool redrawNow, const TRect& r,
                  const std::string& msg);

private:
    bool paletteModified_ = false;
    bool transparent_ = false;
};

// A picture class as the format registry keeps it: its name and how to make one.
struct TGraphicClassInfo {
    const char* Name;
    std::unique_ptr<TGraphic> (*Create)();
};
using TGraphicClass = const TGraphicClassInfo*;

template <class T> TGraphicClass GraphicClassOf() {
    static const TGraphicClassInfo info{
        T::StaticClassName, []() -> std::unique_ptr<TGraphic> { return std::make_unique<T>(); }};
    return &info;
}

} // namespace nimbrel
