#include "saver/slideshow.h"

#include "render/picture_sequence.h"
#include "render/wallpaper_render.h"
#include "saver/saver_state.h"
#include "wallpaper_folder/folder_listing.h"

#include <utility>

namespace nimbrel::saver {

Slideshow::Slideshow(SaverSettings settings, render::ScreenLayout screen, std::string stateFile,
                     Say say)
    : settings_(std::move(settings)), screen_(std::move(screen)), stateFile_(std::move(stateFile)),
      say_(std::move(say)) {
    if (!stateFile_.empty()) {
        const SaverState state = ReadSaverState(stateFile_);
        // A picture of another folder says nothing of where to go on in this one.
        if (state.folder == settings_.folder)
            lastShown_ = state.last;
    }
}

Slideshow::~Slideshow() {
    if (next_.valid())
        next_.wait();
}

Frame Slideshow::RenderAfter(const std::string& last) const {
    // The folder is listed anew at every change: pictures added or removed meanwhile count,
    // and a folder that went away shows the blank frame.
    const std::vector<std::string> rotation =
        render::RotationAfter(render::ListPictures(settings_.folder), last);
    for (const std::string& name : rotation) {
        try {
            return {name, render::RenderWallpaper(wallpaper::JoinPath(settings_.folder, name),
                                                  screen_, settings_.sizing)};
        } catch (const render::EPictureNotShown& error) {
            say_("skipped " + name + ": " + error.what());
        }
    }
    return {};
}

Frame Slideshow::First() {
    return RenderAfter(lastShown_);
}

void Slideshow::PrepareNext() {
    if (next_.valid())
        next_.wait();
    next_ = std::async(std::launch::async, [this, last = lastShown_] { return RenderAfter(last); });
}

Frame Slideshow::TakeNext() {
    if (!next_.valid())
        PrepareNext();
    return next_.get();
}

void Slideshow::Shown(const Frame& frame) {
    if (frame.Blank())
        return;
    lastShown_ = frame.name;
    if (!stateFile_.empty() && !WriteSaverState(stateFile_, {settings_.folder, lastShown_}))
        say_("cannot write " + stateFile_ + ": the next start begins again at the first picture");
}

} // namespace nimbrel::saver
