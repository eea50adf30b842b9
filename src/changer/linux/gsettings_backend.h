#pragma once
// The desktops that keep their wallpaper in GSettings: the GNOME family (GNOME, Ubuntu,
// Budgie, Pantheon, Unity: org.gnome.desktop.background), Cinnamon
// (org.cinnamon.desktop.background) and MATE (org.mate.background). Written through GIO,
// so the session's own settings backend (dconf) tells the desktop at once.
#include "changer/linux/file_desktop.h"

#include <string>

namespace nimbrel::changer {

struct BackgroundSchema {
    const char* desktop;    // for messages: "GNOME"
    const char* schema;     // the schema id
    const char* pictureKey; // the picture, as a URI or a path (below)
    bool pictureIsUri;      // MATE's key takes a path
    const char* darkKey;    // the dark style's picture (GNOME 42 on), where the schema has it
    const char* optionsKey; // how the picture is fitted
};

extern const BackgroundSchema GnomeBackground;
extern const BackgroundSchema CinnamonBackground;
extern const BackgroundSchema MateBackground;

class GSettingsDesktop : public FileDesktop {
public:
    GSettingsDesktop(const BackgroundSchema& schema, ScreenSource screen, DesktopFiles files);
    std::string Name() const override;

protected:
    void Hand(const std::vector<std::string>& files, const ScreenLayout& screen) override;

private:
    const BackgroundSchema& schema_;
};

} // namespace nimbrel::changer
