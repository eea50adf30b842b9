#pragma once
// KDE Plasma: the shell's scripting interface (org.kde.PlasmaShell.evaluateScript on the
// session bus) sets the image wallpaper of every desktop containment, each to the part of
// the render made for its screen, stretched (it has that screen's size, so it shows 1:1).
#include "changer/linux/file_desktop.h"
#include "changer/linux/gio_handles.h"

#include <string>
#include <vector>

namespace nimbrel::changer {

class PlasmaDesktop : public FileDesktop {
public:
    PlasmaDesktop(ScreenSource screen, DesktopFiles files);
    std::string Name() const override { return "KDE Plasma desktop"; }

    // The script that gives each desktop its screen's file (one file per monitor of
    // `screen`, in its order).
    static std::string Script(const std::vector<std::string>& files, const ScreenLayout& screen);

protected:
    bool FilePerMonitor() const override { return true; }
    void Hand(const std::vector<std::string>& files, const ScreenLayout& screen) override;

private:
    SessionBus bus_;
};

} // namespace nimbrel::changer
