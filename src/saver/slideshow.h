#pragma once
// The saver's pictures: the wallpaper folder's pictures in the list's order, starting after
// the one shown last, each rendered for the screen ("Original" 1:1 centred on black, cut
// where larger; "FitToScreen" fitted). The next one is decoded ahead on a worker thread
// while the current one shows, so that a change at the interval is instant.
#include "imaging/bitmap.h"
#include "render/screen_layout.h"
#include "saver/saver_settings.h"

#include <functional>
#include <future>
#include <memory>
#include <string>
#include <string_view>

namespace nimbrel::saver {

// What the screen shows: a picture, or (no picture of the folder can be shown) black with
// the product's name.
struct Frame {
    std::string name; // bare name of the picture; empty with no picture
    std::unique_ptr<TBitmap> picture;
    bool Blank() const { return picture == nullptr; }
};

// The text a blank frame shows.
inline constexpr std::string_view ProductName = "Nimbrel Extensions";

class Slideshow {
public:
    using Say = std::function<void(const std::string&)>;
    // `stateFile` empty: the shown pictures are not remembered (a preview).
    Slideshow(SaverSettings settings, render::ScreenLayout screen, std::string stateFile, Say say);
    ~Slideshow(); // waits for a picture still decoding
    Slideshow(const Slideshow&) = delete;
    Slideshow& operator=(const Slideshow&) = delete;

    // The picture after the one shown last (at an earlier start too), rendered now.
    Frame First();
    // Starts decoding the picture after the one shown now.
    void PrepareNext();
    // The picture PrepareNext started, waiting for it if it is not done yet.
    Frame TakeNext();
    // Remembers the frame as the one shown last.
    void Shown(const Frame& frame);

private:
    Frame RenderAfter(const std::string& last) const;

    SaverSettings settings_;
    render::ScreenLayout screen_;
    std::string stateFile_;
    Say say_;
    std::string lastShown_;
    std::future<Frame> next_;
};

} // namespace nimbrel::saver
