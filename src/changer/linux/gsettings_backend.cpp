#include "changer/linux/gsettings_backend.h"

#include "changer/linux/gio_handles.h"
#include "sysutil/exception.h"

#include <string_view>

namespace nimbrel::changer {

const BackgroundSchema GnomeBackground{.desktop = "GNOME",
                                       .schema = "org.gnome.desktop.background",
                                       .pictureKey = "picture-uri",
                                       .pictureIsUri = true,
                                       .darkKey = "picture-uri-dark",
                                       .optionsKey = "picture-options"};
const BackgroundSchema CinnamonBackground{.desktop = "Cinnamon",
                                          .schema = "org.cinnamon.desktop.background",
                                          .pictureKey = "picture-uri",
                                          .pictureIsUri = true,
                                          .darkKey = nullptr,
                                          .optionsKey = "picture-options"};
const BackgroundSchema MateBackground{.desktop = "MATE",
                                      .schema = "org.mate.background",
                                      .pictureKey = "picture-filename",
                                      .pictureIsUri = false,
                                      .darkKey = nullptr,
                                      .optionsKey = "picture-options"};

namespace {

void SetString(GSettings* settings, const char* key, const std::string& value) {
    if (!g_settings_is_writable(settings, key))
        throw Exception(std::string("the setting ") + key + " is locked");
    if (!g_settings_set_string(settings, key, value.c_str()))
        throw Exception(std::string("the setting ") + key + " refuses '" + value + "'");
}

// A main context of its own while settings are written: GSettings posts its change
// notifications to the thread's context, which nothing else here runs, so they are
// delivered (and their references dropped) before it goes, not heaped up change after change.
class PrivateMainContext {
public:
    PrivateMainContext() : context_(g_main_context_new()) {
        g_main_context_push_thread_default(context_);
    }
    ~PrivateMainContext() {
        while (g_main_context_iteration(context_, FALSE)) {
        }
        g_main_context_pop_thread_default(context_);
        g_main_context_unref(context_);
    }
    PrivateMainContext(const PrivateMainContext&) = delete;
    PrivateMainContext& operator=(const PrivateMainContext&) = delete;

private:
    GMainContext* context_;
};

} // namespace

GSettingsDesktop::GSettingsDesktop(const BackgroundSchema& schema, ScreenSource screen,
                                   DesktopFiles files)
    : FileDesktop(std::move(screen), std::move(files)), schema_(schema) {}

std::string GSettingsDesktop::Name() const {
    return std::string(schema_.desktop) + " desktop (GSettings " + schema_.schema + ")";
}

void GSettingsDesktop::Hand(const std::vector<std::string>& files, const ScreenLayout&) {
    ::GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    ::GSettingsSchema* found =
        source ? g_settings_schema_source_lookup(source, schema_.schema, TRUE) : nullptr;
    if (!found)
        throw Exception(std::string("the settings schema ") + schema_.schema + " is not installed");
    const PrivateMainContext context; // outlives the settings object below
    const bool hasDark = schema_.darkKey && g_settings_schema_has_key(found, schema_.darkKey);
    GObjectHandle<GSettings> settings(g_settings_new_full(found, nullptr, nullptr));
    g_settings_schema_unref(found);
    // Without a settings service GIO keeps values in memory for this process alone: the
    // desktop would never see them.
    gpointer backend = nullptr;
    g_object_get(settings.get(), "backend", &backend, nullptr);
    const bool inMemory =
        backend && std::string_view(G_OBJECT_TYPE_NAME(backend)) == "GMemorySettingsBackend";
    if (backend)
        g_object_unref(backend);
    if (inMemory)
        throw Exception("no settings service (dconf) keeps GSettings values in this session");
    const std::string picture = schema_.pictureIsUri ? FileUri(files.front()) : files.front();
    // "spanned": the one render covers every monitor as it was made for them, 1:1.
    SetString(settings.get(), schema_.optionsKey, "spanned");
    SetString(settings.get(), schema_.pictureKey, picture);
    if (hasDark)
        SetString(settings.get(), schema_.darkKey, picture);
    g_settings_sync();
}

} // namespace nimbrel::changer
