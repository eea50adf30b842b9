// The start-up baseline: an empty Qt dialog, shown and ended the way the program is.
#include <QApplication>
#include <QDialog>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Empty"));
    dialog.resize(440, 262);
    dialog.show();
    QTimer::singleShot(0, &dialog, [] { QCoreApplication::quit(); });
    return application.exec();
}
