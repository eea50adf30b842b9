#pragma once
// A progress bar on standard error, drawn only when standard error is a terminal and the
// work has already taken more than a moment; a pipe or a file never sees it.
#include <chrono>
#include <cstddef>
#include <string>

namespace nimbrel::tool {

class ProgressBar {
public:
    ProgressBar(std::string label, std::size_t total);
    ~ProgressBar(); // takes the bar away
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Draws `done` of the total, at most ten times a second.
    void Update(std::size_t done);
    // Takes the bar off the line, so that other output to the terminal starts clean; the
    // next Update draws it again.
    void Clear();

private:
    std::string label_;
    std::size_t total_;
    bool enabled_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
    std::chrono::milliseconds moment_;
};

} // namespace nimbrel::tool
