#include "changer/linux/xfconf_backend.h"

#include "changer/linux/gio_handles.h"

#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::changer {
namespace {

constexpr const char* Service = "org.xfce.Xfconf";
constexpr const char* Object = "/org/xfce/Xfconf";
constexpr const char* Interface = "org.xfce.Xfconf";
constexpr const char* Channel = "xfce4-desktop";
constexpr std::string_view ImageSuffix = "/last-image";
// xfdesktop's image styles: 3 stretched, 6 spanning screens.
constexpr int Stretched = 3;
constexpr int SpanningScreens = 6;

// Every backdrop of the channel: the property paths that end in /last-image, without it.
std::vector<std::string> Backdrops(GDBusConnection* bus) {
    std::vector<std::string> backdrops;
    GVariantHandle reply;
    try {
        reply = CallSessionMethod(bus, Service, Object, Interface, "GetAllProperties",
                                  g_variant_new("(ss)", Channel, "/backdrop"),
                                  G_VARIANT_TYPE("(a{sv})"));
    } catch (const EDBusCallError& error) {
        // A desktop whose backdrop was never set has no such property (nor channel) yet.
        if (error.RemoteName().ends_with("NotFound"))
            return backdrops;
        throw;
    }
    GVariantIter* properties = nullptr;
    g_variant_get(reply.get(), "(a{sv})", &properties);
    const char* name = nullptr;
    GVariant* value = nullptr;
    while (g_variant_iter_loop(properties, "{&sv}", &name, &value)) {
        const std::string_view path(name);
        if (path.ends_with(ImageSuffix))
            backdrops.emplace_back(path.substr(0, path.size() - ImageSuffix.size()));
    }
    g_variant_iter_free(properties);
    return backdrops;
}

void SetProperty(GDBusConnection* bus, const std::string& property, GVariant* value) {
    CallSessionMethod(bus, Service, Object, Interface, "SetProperty",
                      g_variant_new("(ssv)", Channel, property.c_str(), value), nullptr);
}

} // namespace

XfconfDesktop::XfconfDesktop(ScreenSource screen, DesktopFiles files)
    : FileDesktop(std::move(screen), std::move(files)) {}

void XfconfDesktop::Hand(const std::vector<std::string>& files, const ScreenLayout& screen) {
    GDBusConnection* const bus = bus_.Connection();
    std::vector<std::string> backdrops = Backdrops(bus);
    // A desktop whose backdrop was never set has no property yet; xfdesktop reads the first
    // monitor's first workspace then.
    if (backdrops.empty())
        backdrops.push_back("/backdrop/screen0/monitor0/workspace0");
    const int style = screen.Monitors().size() > 1 ? SpanningScreens : Stretched;
    for (const std::string& backdrop : backdrops) {
        SetProperty(bus, backdrop + "/image-style", g_variant_new_int32(style));
        SetProperty(bus, backdrop + std::string(ImageSuffix),
                    g_variant_new_string(files.front().c_str()));
    }
}

} // namespace nimbrel::changer
