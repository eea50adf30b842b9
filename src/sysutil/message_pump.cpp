#include "sysutil/message_pump.h"

#include <utility>

namespace nimbrel {
namespace {
std::function<void()>& Pump() {
    static std::function<void()> pump;
    return pump;
}
} // namespace

void ProcessMessages() {
    if (Pump())
        Pump()();
}

void SetMessagePump(std::function<void()> pump) {
    Pump() = std::move(pump);
}

} // namespace nimbrel
