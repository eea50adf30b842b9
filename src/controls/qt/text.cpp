#include "controls/qt/text.h"

#include "platform/codepage1250.h"

#include <QList>

namespace nimbrel::qt {

QString ToQString(std::string_view cp1250) {
    QString text;
    text.reserve(static_cast<qsizetype>(cp1250.size()));
    for (char c : cp1250) {
        text.append(ToQChar(c));
    }
    return text;
}

std::string FromQString(const QString& text) {
    std::string result;
    result.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t c : text.toUcs4()) {
        result.push_back(static_cast<char>(platform::Cp1250FromUnicode(c)));
    }
    return result;
}

QChar ToQChar(char cp1250) {
    // Every 1250 character lies in the basic plane.
    return QChar(
        static_cast<char16_t>(platform::UnicodeFromCp1250(static_cast<unsigned char>(cp1250))));
}

char FromQChar(QChar c) {
    return static_cast<char>(platform::Cp1250FromUnicode(c.unicode()));
}

} // namespace nimbrel::qt
