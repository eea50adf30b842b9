#pragma once
// The one-shot requests the dialog writes for the changer, and their consumption. A request
// is consumed only while the store still holds what was read, so one written meanwhile is
// never lost.
#include <string>
#include <string_view>

namespace nimbrel::changer {

struct Requests {
    std::string changeTo;    // "ChangeTo": a bare file name to show at once
    std::string setAsNext;   // "SetAsNext": a bare file name for the next change
    std::string forceReload; // "ForceReload": "Yes" asks for the settings read again
    bool ForceReloadAsked() const;
    bool Any() const { return !changeTo.empty() || !setAsNext.empty() || ForceReloadAsked(); }
};

// The requests as the store holds them; an unreadable one reads as none.
Requests ReadRequests();

// Sets the value `name` to `consumed` if it still holds `seen`, as one change of the store.
// Answers whether it did; false too when the store cannot be written (the request then
// stays and is honoured again later).
bool ConsumeRequest(std::string_view name, std::string_view seen, std::string_view consumed);

} // namespace nimbrel::changer
