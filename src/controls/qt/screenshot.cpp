#include "controls/qt/screenshot.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace nimbrel::qt {
namespace {

void SaveScreenshot(QWidget& window, const QString& file) {
    QPixmap picture;
    if (QScreen* screen = window.screen()) {
        const QRect frame = window.frameGeometry();
        picture = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    }
    // Platforms without a screen to read from can still render the window.
    if (picture.isNull())
        picture = window.grab();
    if (!picture.save(file))
        std::fprintf(stderr, "Cannot write the screenshot %s\n", qPrintable(file));
}

// Ends the program after the window's first paint. The window's children paint in the same
// pass, after the window itself, so the preview's picture is decoded and drawn by then.
class QuitAfterFirstPaint : public QObject {
public:
    explicit QuitAfterFirstPaint(QWidget& window) : QObject(&window) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, watched, [] { QCoreApplication::quit(); });
        }
        return false;
    }
};

} // namespace

void QuitWhenShownIfAsked(QWidget& window) {
    const QString screenshot = qEnvironmentVariable("NIMBREL_SCREENSHOT");
    if (!screenshot.isEmpty()) {
        // Give the window system time to map and paint the window.
        QTimer::singleShot(1000, &window, [&window, screenshot] {
            SaveScreenshot(window, screenshot);
            QCoreApplication::quit();
        });
    } else if (qEnvironmentVariableIsSet("NIMBREL_QUIT_WHEN_SHOWN")) {
        new QuitAfterFirstPaint(window); // owned by the window
    }
}

} // namespace nimbrel::qt
