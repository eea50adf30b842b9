#pragma once
// Ctrl+C as a request to stop: work under way finishes (so nothing is left half-written),
// nothing new starts. A second Ctrl+C ends the process at once, as the system would.
namespace nimbrel::tool {

// Catches the interrupt signal for its lifetime.
class InterruptionWatch {
public:
    InterruptionWatch();
    ~InterruptionWatch();
    InterruptionWatch(const InterruptionWatch&) = delete;
    InterruptionWatch& operator=(const InterruptionWatch&) = delete;

    bool Requested() const;
};

// The exit status of a command stopped by Ctrl+C.
inline constexpr int InterruptedExitCode = 130;

} // namespace nimbrel::tool
