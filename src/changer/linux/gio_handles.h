#pragma once
// Owners for the GLib objects the desktop backends use.
#include "sysutil/exception.h"

#include <gio/gio.h>

#include <memory>
#include <string>

namespace nimbrel::changer {

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T> using GObjectHandle = std::unique_ptr<T, GObjectUnref>;

struct GVariantUnref {
    void operator()(GVariant* variant) const { g_variant_unref(variant); }
};
using GVariantHandle = std::unique_ptr<GVariant, GVariantUnref>;

// Takes a GError's message and frees it.
inline std::string TakeMessage(GError* error) {
    std::string message = error ? error->message : "unknown error";
    if (error)
        g_error_free(error);
    return message;
}

// The session's message bus, held from the first call on (a connection made and closed at
// every change would cost memory each time), and made again once it has closed.
class SessionBus {
public:
    // The connection, or an Exception saying why there is none.
    GDBusConnection* Connection();

private:
    GObjectHandle<GDBusConnection> bus_;
};

// A D-Bus call that failed: the service's error name ("org.xfce.Xfconf.Error.PropertyNotFound"),
// when it answered one, and the message.
class EDBusCallError : public Exception {
public:
    EDBusCallError(std::string remoteName, const std::string& message)
        : Exception(message), remoteName_(std::move(remoteName)) {}
    const std::string& RemoteName() const { return remoteName_; }

private:
    std::string remoteName_;
};

// One method call on the session bus with a time limit (a hung service is a failure, not
// a hang); answers the reply, raises EDBusCallError with the service's error.
GVariantHandle CallSessionMethod(GDBusConnection* bus, const char* service, const char* object,
                                 const char* interface, const char* method, GVariant* parameters,
                                 const GVariantType* replyType);

} // namespace nimbrel::changer
