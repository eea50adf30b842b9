#include "tools/progress_bar.h"

#include "platform/console.h"

#include <cstdio>
#include <cstdlib>

namespace nimbrel::tool {
namespace {

constexpr int BarWidth = 30;

// How long work may run before a bar is worth showing; NIMBREL_PROGRESS_AFTER_MS sets it
// (tests show the bar at once).
std::chrono::milliseconds Moment() {
    if (const char* text = std::getenv("NIMBREL_PROGRESS_AFTER_MS"))
        return std::chrono::milliseconds(std::strtol(text, nullptr, 10));
    return std::chrono::milliseconds(500);
}

} // namespace

ProgressBar::ProgressBar(std::string label, std::size_t total)
    : label_(std::move(label)), total_(total),
      enabled_(platform::IsTerminal(platform::StandardStream::Error)),
      start_(std::chrono::steady_clock::now()), moment_(Moment()) {}

ProgressBar::~ProgressBar() {
    Clear();
}

void ProgressBar::Update(std::size_t done) {
    if (!enabled_ || total_ == 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - start_ < moment_)
        return;
    if (shown_ && done < total_ && now - lastDraw_ < std::chrono::milliseconds(100))
        return;
    lastDraw_ = now;
    const int filled = static_cast<int>(done * BarWidth / total_);
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.append(static_cast<std::size_t>(BarWidth - filled), '.');
    std::fprintf(stderr, "\r%s [%s] %zu/%zu\033[K", label_.c_str(), bar.c_str(), done, total_);
    std::fflush(stderr);
    shown_ = true;
}

void ProgressBar::Clear() {
    if (!shown_)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
}

} // namespace nimbrel::tool
