#include "changer/requests.h"

#include "platform/registry.h"
#include "settings/registry_accessor.h"
#include "settings/store_values.h"

#include <exception>

namespace nimbrel::changer {
namespace {

std::string ReadOrNothing(const TRegistry& reg, std::string_view name) {
    try {
        return reg.ReadString(name);
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace

bool Requests::ForceReloadAsked() const {
    return forceReload == store::Yes;
}

Requests ReadRequests() {
    TRegistry reg;
    Requests requests;
    if (!reg.OpenKey(store::SettingsKey, false))
        return requests;
    requests.changeTo = ReadOrNothing(reg, store::ChangeTo);
    requests.setAsNext = ReadOrNothing(reg, store::SetAsNext);
    requests.forceReload = ReadOrNothing(reg, store::ForceReload);
    return requests;
}

bool ConsumeRequest(std::string_view name, std::string_view seen, std::string_view consumed) {
    try {
        platform::RegTransaction transaction;
        if (transaction.Begin() != platform::ErrorSuccess)
            return false;
        {
            // Opened for writing: a key opened only to be read (as on Windows) refuses it.
            TRegistry reg;
            if (!reg.OpenKey(store::SettingsKey, true) || reg.ReadString(name) != seen)
                return false;
            reg.WriteString(name, consumed);
        }
        return transaction.Commit() == platform::ErrorSuccess;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace nimbrel::changer
