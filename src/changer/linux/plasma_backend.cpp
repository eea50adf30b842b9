#include "changer/linux/plasma_backend.h"

#include "changer/linux/gio_handles.h"

#include <sstream>

namespace nimbrel::changer {

PlasmaDesktop::PlasmaDesktop(ScreenSource screen, DesktopFiles files)
    : FileDesktop(std::move(screen), std::move(files)) {}

std::string PlasmaDesktop::Script(const std::vector<std::string>& files,
                                  const ScreenLayout& screen) {
    const std::vector<MonitorRect> monitors = screen.Monitors();
    std::ostringstream script;
    // FileUri leaves no quote or backslash in a URI, so it stands in a string as it is.
    script << "var parts = [";
    for (std::size_t i = 0; i < files.size() && i < monitors.size(); ++i)
        script << (i ? ", " : "") << "{x: " << monitors[i].left << ", y: " << monitors[i].top
               << ", w: " << monitors[i].width << ", h: " << monitors[i].height << ", uri: \""
               << FileUri(files[i]) << "\"}";
    script << "];\n"
              "var all = desktops();\n"
              "for (var i = 0; i < all.length; ++i) {\n"
              "    var d = all[i];\n"
              "    var part = parts[0];\n"
              "    var g = d.screen >= 0 ? screenGeometry(d.screen) : null;\n"
              "    for (var j = 0; g && j < parts.length; ++j)\n"
              "        if (parts[j].x == g.x && parts[j].y == g.y && parts[j].w == g.width &&\n"
              "            parts[j].h == g.height)\n"
              "            part = parts[j];\n"
              "    d.wallpaperPlugin = \"org.kde.image\";\n"
              "    d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
              "    d.writeConfig(\"Image\", part.uri);\n"
              "    d.writeConfig(\"FillMode\", 0);\n" // stretched: the part has the screen's size
              "}\n";
    return script.str();
}

void PlasmaDesktop::Hand(const std::vector<std::string>& files, const ScreenLayout& screen) {
    GDBusConnection* const bus = bus_.Connection();
    const std::string script = Script(files, screen);
    CallSessionMethod(bus, "org.kde.plasmashell", "/PlasmaShell", "org.kde.PlasmaShell",
                      "evaluateScript", g_variant_new("(s)", script.c_str()), nullptr);
}

} // namespace nimbrel::changer
