#include "changer/linux/gio_handles.h"

namespace nimbrel::changer {

namespace {
constexpr int CallTimeoutMs = 10000;
}

GDBusConnection* SessionBus::Connection() {
    if (bus_ && !g_dbus_connection_is_closed(bus_.get()))
        return bus_.get();
    bus_.reset();
    GError* error = nullptr;
    bus_.reset(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
    if (!bus_)
        throw Exception("no session bus: " + TakeMessage(error));
    // A bus that ends is a desktop that cannot be reached, not the end of the changer.
    g_dbus_connection_set_exit_on_close(bus_.get(), FALSE);
    return bus_.get();
}

GVariantHandle CallSessionMethod(GDBusConnection* bus, const char* service, const char* object,
                                 const char* interface, const char* method, GVariant* parameters,
                                 const GVariantType* replyType) {
    GError* error = nullptr;
    GVariantHandle reply(g_dbus_connection_call_sync(bus, service, object, interface, method,
                                                     parameters, replyType, G_DBUS_CALL_FLAGS_NONE,
                                                     CallTimeoutMs, nullptr, &error));
    if (!reply) {
        std::string remoteName;
        if (error) {
            if (gchar* name = g_dbus_error_get_remote_error(error)) {
                remoteName = name;
                g_free(name);
            }
            g_dbus_error_strip_remote_error(error);
        }
        throw EDBusCallError(remoteName,
                             std::string(service) + " " + method + ": " + TakeMessage(error));
    }
    return reply;
}

} // namespace nimbrel::changer
