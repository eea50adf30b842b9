#pragma once
// sway and the other wlroots compositors. sway: its IPC socket ($SWAYSOCK) tells the outputs
// and takes "output NAME bg FILE fill", one part of the render per output. A compositor
// without that IPC: swaybg, started by the changer for the session (the one started before,
// by this changer or an earlier one, ends once the new one runs).
#include "changer/linux/file_desktop.h"
#include "changer/linux/wayland_outputs.h"

#include <string>
#include <vector>

namespace nimbrel::changer {

class SwayDesktop : public FileDesktop {
public:
    // `socketPath`: sway's IPC socket.
    SwayDesktop(std::string socketPath, DesktopFiles files);
    std::string Name() const override { return "sway (IPC)"; }

protected:
    bool FilePerMonitor() const override { return true; }
    void Hand(const std::vector<std::string>& files, const ScreenLayout& screen) override;

private:
    // The outputs sway reports, active ones only.
    std::vector<WaylandOutput> Outputs();
    // The screen the outputs make together.
    ScreenLayout OutputLayout();

    std::string socketPath_;
    std::vector<WaylandOutput> outputs_; // the ones reported last
};

class SwaybgDesktop : public FileDesktop {
public:
    // `pidFile`: where the running swaybg's process id is kept across changers. The
    // outputs come from the compositor at $WAYLAND_DISPLAY.
    SwaybgDesktop(DesktopFiles files, std::string pidFile);
    std::string Name() const override { return "Wayland compositor (swaybg)"; }

protected:
    // One file an output where the compositor names its outputs (swaybg's -o), else one
    // picture for all of them.
    bool FilePerMonitor() const override;
    void Hand(const std::vector<std::string>& files, const ScreenLayout& screen) override;

private:
    ScreenLayout OutputLayout();

    std::string pidFile_;
    std::vector<WaylandOutput> outputs_;
};

} // namespace nimbrel::changer
