#include "controls/qt/screenshot.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace nimbrel {
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
        // Runs once the loop has delivered the show and the first paint.
        QTimer::singleShot(0, &window, [] { QCoreApplication::quit(); });
    }
}

} // namespace nimbrel
