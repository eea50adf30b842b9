#include "changer/linux/wayland_outputs.h"

#include "sysutil/exception.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace nimbrel::changer {
namespace {

struct OutputState {
    wl_output* output = nullptr;
    uint32_t version = 0;
    WaylandOutput facts;
};

struct Registry {
    std::vector<std::unique_ptr<OutputState>> outputs;
};

void Geometry(void* data, wl_output*, int32_t x, int32_t y, int32_t, int32_t, int32_t, const char*,
              const char*, int32_t) {
    auto* state = static_cast<OutputState*>(data);
    state->facts.rect.left = x;
    state->facts.rect.top = y;
}

void Mode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t) {
    if (!(flags & WL_OUTPUT_MODE_CURRENT))
        return;
    auto* state = static_cast<OutputState*>(data);
    state->facts.rect.width = width;
    state->facts.rect.height = height;
}

void Done(void*, wl_output*) {}
void Scale(void*, wl_output*, int32_t) {}

void Name(void* data, wl_output*, const char* name) {
    static_cast<OutputState*>(data)->facts.name = name;
}

void Description(void*, wl_output*, const char*) {}

constexpr wl_output_listener OutputListener = {Geometry, Mode, Done, Scale, Name, Description};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface,
            uint32_t version) {
    if (std::strcmp(interface, wl_output_interface.name) != 0)
        return;
    auto state = std::make_unique<OutputState>();
    // Version 4 tells the output's name; older compositors still tell its place and mode.
    const uint32_t bound = std::min<uint32_t>(version, WL_OUTPUT_NAME_SINCE_VERSION);
    state->version = bound;
    state->output =
        static_cast<wl_output*>(wl_registry_bind(registry, name, &wl_output_interface, bound));
    wl_output_add_listener(state->output, &OutputListener, state.get());
    static_cast<Registry*>(data)->outputs.push_back(std::move(state));
}

void GlobalRemove(void*, wl_registry*, uint32_t) {}

constexpr wl_registry_listener RegistryListener = {Global, GlobalRemove};

bool AnyOverlap(const std::vector<WaylandOutput>& outputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i)
        for (std::size_t j = i + 1; j < outputs.size(); ++j) {
            const MonitorRect& a = outputs[i].rect;
            const MonitorRect& b = outputs[j].rect;
            if (a.left < b.left + b.width && b.left < a.left + a.width &&
                a.top < b.top + b.height && b.top < a.top + a.height)
                return true;
        }
    return false;
}

struct DisplayCloser {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};

} // namespace

std::vector<WaylandOutput> WaylandOutputs() {
    const std::unique_ptr<wl_display, DisplayCloser> display(wl_display_connect(nullptr));
    if (!display)
        throw Exception("no Wayland compositor to ask for its outputs");
    Registry found;
    wl_registry* registry = wl_display_get_registry(display.get());
    wl_registry_add_listener(registry, &RegistryListener, &found);
    // The first round trip announces the outputs, the second their facts.
    if (wl_display_roundtrip(display.get()) < 0 || wl_display_roundtrip(display.get()) < 0)
        throw Exception("the Wayland compositor ended the connection");
    std::vector<WaylandOutput> outputs;
    for (const auto& state : found.outputs) {
        if (state->facts.rect.width > 0 && state->facts.rect.height > 0)
            outputs.push_back(state->facts);
        if (state->version >= WL_OUTPUT_RELEASE_SINCE_VERSION)
            wl_output_release(state->output);
        else
            wl_output_destroy(state->output);
    }
    wl_registry_destroy(registry);
    if (outputs.empty())
        throw Exception("the Wayland compositor reports no output");
    // wl_output tells no place in the compositor's layout (wlroots says 0,0 for every
    // output): where they overlap, they are laid side by side. Each output gets a render of
    // its own size all the same; only the arrangement of NIMBREL.BMP's parts is made up.
    if (AnyOverlap(outputs)) {
        int left = 0;
        for (WaylandOutput& output : outputs) {
            output.rect.left = left;
            output.rect.top = 0;
            left += output.rect.width;
        }
    }
    return outputs;
}

ScreenLayout LayoutOfOutputs(const std::vector<WaylandOutput>& outputs) {
    ScreenLayout layout;
    for (const WaylandOutput& output : outputs) {
        layout.width = std::max(layout.width, output.rect.left + output.rect.width);
        layout.height = std::max(layout.height, output.rect.top + output.rect.height);
        layout.monitors.push_back(output.rect);
    }
    return layout;
}

std::string OutputNameAt(const std::vector<WaylandOutput>& outputs, const MonitorRect& rect) {
    const auto output = std::find_if(outputs.begin(), outputs.end(),
                                     [&](const WaylandOutput& o) { return o.rect == rect; });
    if (output == outputs.end())
        throw Exception("the outputs changed while the wallpaper was made");
    return output->name;
}

} // namespace nimbrel::changer
