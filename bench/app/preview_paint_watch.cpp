#include "preview_paint_watch.h"

#include <QEvent>
#include <QWidget>

namespace nimbrel::bench {

PreviewPaintWatch::PreviewPaintWatch(QWidget& preview) : preview_(preview) {
    preview_.installEventFilter(this);
}

PreviewPaintWatch::~PreviewPaintWatch() {
    preview_.removeEventFilter(this);
}

bool PreviewPaintWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &preview_ || event->type() != QEvent::Paint)
        return false;
    // The widget paints here and now (decoding the picture if it must), so the time
    // taken afterwards is the end of the paint.
    static_cast<QObject&>(preview_).event(event);
    lastPaintEnd_ = Clock::now();
    ++paints_;
    if (OnPainted)
        OnPainted();
    return true;
}

} // namespace nimbrel::bench
