// make-icons FOLDER: the product's icon as the PNG files of an icon theme,
// FOLDER/<size>x<size>/apps/nimbrel-ext.png, drawn by the same code as the window's icon.
#include "controls/qt/product_icon.h"

#include <QDir>
#include <QString>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make-icons FOLDER\n", stderr);
        return 2;
    }
    // Drawing into a QImage needs no application object and no screen.
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString file = folder + QStringLiteral("/nimbrel-ext.png");
        if (!QDir().mkpath(folder) || !nimbrel::DrawProductIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
