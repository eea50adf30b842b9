// The start-up baseline: an empty Qt dialog, shown and ended the way the program is (after
// its first paint).
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>

namespace {

class QuitAfterFirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, watched, [] { QCoreApplication::quit(); });
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Empty"));
    dialog.resize(440, 262);
    QuitAfterFirstPaint quit;
    dialog.installEventFilter(&quit);
    dialog.show();
    return application.exec();
}
