#include "changer/linux/gio_handles.h"

namespace nimbrel::changer {

namespace {
constexpr int CallTimeoutMs = 10000;
}

GObjectHandle<GDBusConnection> SessionBus() {
    GError* error = nullptr;
    GObjectHandle<GDBusConnection> bus(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
    if (!bus)
        throw Exception("no session bus: " + TakeMessage(error));
    return bus;
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
