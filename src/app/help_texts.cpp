// One table beside the layout, so that a new help number in a layout table needs its text
// here (the layout tables' test checks it).
#include "app/help_texts.h"

#include <array>

namespace nimbrel {
namespace {

struct HelpTopic {
    int context;
    const char* text; // code page 1250
};

constexpr std::array<HelpTopic, 22> Topics{{
    {2001, "Wallpaper image change interval: how long the wallpaper changer shows a picture "
           "before it changes to the next one, from 1 to 300 minutes. Saved with OK."},
    {2002, "Wallpaper folder: the drive and folder whose JPEG and BMP pictures the wallpaper "
           "changer shows. Choosing another folder fills the list of wallpapers again. Saved "
           "with OK."},
    {2003, "Wallpapers: the pictures of the wallpaper folder. The selected one is shown in the "
           "preview; a JPEG picture can be set as the next wallpaper or shown at once."},
    {2004, "Set as next: asks the wallpaper changer to show the selected JPEG picture next. "
           "The request is written at once and stays if you then cancel."},
    {2005, "Change to: asks the wallpaper changer to show the selected JPEG picture now. The "
           "request is written at once and stays if you then cancel."},
    {2006, "Launch Nimbrel on Startup: the wallpaper changer starts when you log on. Saved "
           "with OK."},
    {2007, "Exit after wallpaper change: the wallpaper changer ends once it has changed the "
           "wallpaper. Saved with OK."},
    {2101, "Screen saver image change interval: how long the screen saver shows a picture "
           "before it changes to the next one, from 10 to 300 seconds. Saved with OK."},
    {2102, "Protect screen saver with Access Key and Password: the screen saver ends only on "
           "the access key, or on the password once the wrong key was pressed too often. "
           "Needs at least 3 tries and a password of at least 6 characters, typed twice alike."},
    {2103, "Access Key: the keys that end the screen saver: Shift, Ctrl or Alt together with a "
           "letter from A to Z."},
    {2104, "How many wrong access keys the screen saver takes before it asks for the password: "
           "at least 3."},
    {2105, "Password: asked for after too many wrong access keys. At least 6 characters, typed "
           "the same in both fields (letter case counts)."},
    {2106, "Auto install Nimbrel Screen Saver: each OK makes the Nimbrel screen saver the "
           "system's screen saver and switches it on."},
    {2201, "Fit to screen: the wallpaper is stretched over the whole screen. Saved with OK."},
    {2202, "Original size: the wallpaper keeps its size and is placed as chosen under "
           "Position. Saved with OK."},
    {2203, "Resize to: the wallpaper is resized to the width and height given in pixels and "
           "placed as chosen under Position. Starts from the screen's height less 60 pixels "
           "and a 4:3 width. Saved with OK."},
    {2204, "Width and height of the resized wallpaper in pixels, up to 4 digits. Entering the "
           "height field sets it from the width in the ratio 4:3."},
    {2205, "Position: where the wallpaper of original size or resized lies on the screen: in "
           "the centre, at an edge or in a corner. Saved with OK."},
    {2206, "Fit to screen: the screen saver stretches each picture over the whole screen. "
           "Saved with OK."},
    {2207, "Original size: the screen saver shows each picture in its own size. Saved with "
           "OK."},
    {3001, "OK: saves every setting and closes the dialog. It can be pressed only while the "
           "wallpaper folder holds a picture."},
    {3002, "Cancel: closes the dialog without saving the settings. Requests already made "
           "(Set as next, Change to) stay."},
}};

} // namespace

std::string_view HelpTopicText(int context) {
    for (const HelpTopic& topic : Topics) {
        if (topic.context == context)
            return topic.text;
    }
    return {};
}

std::string HelpPopupText(std::string_view helpFile, int context) {
    std::string text(HelpTopicText(context));
    if (!text.empty())
        text += '\r';
    text += std::string(helpFile) + ", topic " + std::to_string(context);
    return text;
}

} // namespace nimbrel
