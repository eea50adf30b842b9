#pragma once
// Xfce: the desktop's backdrop lives in the xfconf channel "xfce4-desktop", one picture and
// style for every monitor and workspace (/backdrop/screen0/monitorNAME/workspaceN/...),
// set over D-Bus through the xfconf daemon, which tells the desktop.
#include "changer/linux/file_desktop.h"
#include "changer/linux/gio_handles.h"

namespace nimbrel::changer {

class XfconfDesktop : public FileDesktop {
public:
    XfconfDesktop(ScreenSource screen, DesktopFiles files);
    std::string Name() const override { return "Xfce desktop (xfconf)"; }

protected:
    void Hand(const std::vector<std::string>& files, const ScreenLayout& screen) override;

private:
    SessionBus bus_;
};

} // namespace nimbrel::changer
