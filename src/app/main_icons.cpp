// make-icons FOLDER ICON: the product's icon as the PNG files of an icon theme,
// FOLDER/<size>x<size>/apps/nimbrel-ext.png, and as the Windows icon file ICON (the Windows
// program's resource), all drawn by the same code as the window's icon.
#include "controls/qt/product_icon.h"

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QtEndian>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void Append16(QByteArray& bytes, std::uint16_t value) {
    const std::uint16_t little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
}

void Append32(QByteArray& bytes, std::uint32_t value) {
    const std::uint32_t little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
}

// One picture of an icon file as Windows reads it everywhere: a 32-bit device-independent
// bitmap, bottom-up, of twice the height (the colour rows, then an AND mask that the alpha
// channel makes unused).
QByteArray IconBitmap(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    QByteArray bytes;
    Append32(bytes, 40);
    Append32(bytes, static_cast<std::uint32_t>(size));
    Append32(bytes, static_cast<std::uint32_t>(2 * size));
    Append16(bytes, 1);
    Append16(bytes, 32);
    for (int i = 0; i < 6; ++i)
        Append32(bytes, 0);
    for (int y = size - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = row[x];
            bytes.append(static_cast<char>(qBlue(pixel)));
            bytes.append(static_cast<char>(qGreen(pixel)));
            bytes.append(static_cast<char>(qRed(pixel)));
            bytes.append(static_cast<char>(qAlpha(pixel)));
        }
    }
    const int maskRow = ((size + 31) / 32) * 4;
    bytes.append(QByteArray(maskRow * size, '\0'));
    return bytes;
}

// The 256-pixel picture goes in as PNG, as Windows expects at that size.
QByteArray IconPng(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

bool WriteIconFile(const QString& file) {
    std::vector<QByteArray> pictures;
    const std::vector<int> sizes = {16, 24, 32, 48, 256};
    for (int size : sizes) {
        const QImage picture = nimbrel::qt::DrawProductIcon(size);
        pictures.push_back(size == 256 ? IconPng(picture) : IconBitmap(picture));
    }
    QByteArray bytes;
    Append16(bytes, 0);
    Append16(bytes, 1); // an icon, not a cursor
    Append16(bytes, static_cast<std::uint16_t>(sizes.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int size = sizes[i];
        bytes.append(static_cast<char>(size == 256 ? 0 : size)); // 0 stands for 256
        bytes.append(static_cast<char>(size == 256 ? 0 : size));
        bytes.append('\0'); // no palette
        bytes.append('\0');
        Append16(bytes, 1);
        Append16(bytes, 32);
        Append32(bytes, static_cast<std::uint32_t>(pictures[i].size()));
        Append32(bytes, offset);
        offset += static_cast<std::uint32_t>(pictures[i].size());
    }
    for (const QByteArray& picture : pictures)
        bytes.append(picture);
    QFile out(file);
    return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: make-icons FOLDER ICON\n", stderr);
        return 2;
    }
    // Drawing into a QImage needs no application object and no screen.
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString file = folder + QStringLiteral("/nimbrel-ext.png");
        if (!QDir().mkpath(folder) || !nimbrel::qt::DrawProductIcon(size).save(file, "PNG")) {
            std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    const QString icon = QString::fromLocal8Bit(argv[2]);
    if (!WriteIconFile(icon)) {
        std::fprintf(stderr, "make-icons: cannot write %s\n", qPrintable(icon));
        return 1;
    }
    return 0;
}
