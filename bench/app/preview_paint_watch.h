#pragma once
// Watches the preview widget of the dialog: how many paints it has finished and when the
// last one ended, as the benchmarks need to tell when a picture reached the screen.
#include <QObject>

#include <chrono>
#include <functional>

class QWidget;

namespace nimbrel::bench {

class PreviewPaintWatch : public QObject {
public:
    using Clock = std::chrono::steady_clock;
    explicit PreviewPaintWatch(QWidget& preview);
    ~PreviewPaintWatch() override;
    PreviewPaintWatch(const PreviewPaintWatch&) = delete;
    PreviewPaintWatch& operator=(const PreviewPaintWatch&) = delete;

    int Paints() const { return paints_; }
    Clock::time_point LastPaintEnd() const { return lastPaintEnd_; }
    // Called after each finished paint.
    std::function<void()> OnPainted;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& preview_;
    int paints_ = 0;
    Clock::time_point lastPaintEnd_;
};

} // namespace nimbrel::bench
