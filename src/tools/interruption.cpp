#include "tools/interruption.h"

#include <atomic>
#include <csignal>

namespace nimbrel::tool {
namespace {

std::atomic<bool> requested{false};

extern "C" void OnInterrupt(int) {
    requested.store(true);
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

InterruptionWatch::InterruptionWatch() {
    requested.store(false);
    std::signal(SIGINT, OnInterrupt);
}

InterruptionWatch::~InterruptionWatch() {
    std::signal(SIGINT, SIG_DFL);
}

bool InterruptionWatch::Requested() const {
    return requested.load();
}

} // namespace nimbrel::tool
