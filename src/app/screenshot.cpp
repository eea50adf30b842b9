#include "app/screenshot.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace nimbrel {

void ScreenshotAndQuitIfAsked(QWidget& window) {
    const QString file = qEnvironmentVariable("NIMBREL_SCREENSHOT");
    if (file.isEmpty())
        return;
    // Give the window system time to map and paint the window.
    QTimer::singleShot(1000, &window, [&window, file] {
        QPixmap picture;
        if (QScreen* screen = window.screen())
            picture =
                screen->grabWindow(0, window.frameGeometry().x(), window.frameGeometry().y(),
                                   window.frameGeometry().width(), window.frameGeometry().height());
        if (picture.isNull())
            picture = window.grab();
        if (!picture.save(file))
            std::fprintf(stderr, "Cannot write the screenshot %s\n", qPrintable(file));
        QCoreApplication::quit();
    });
}

} // namespace nimbrel
