#pragma once
// The one conversion between Qt's text and the program's code page 1250 text.
#include <QChar>
#include <QString>

#include <string>
#include <string_view>

namespace nimbrel::qt {

QString ToQString(std::string_view cp1250);
// A character that 1250 cannot hold becomes '?', as Windows does for ANSI callers.
std::string FromQString(const QString& text);

// One character each way.
QChar ToQChar(char cp1250);
char FromQChar(QChar c);

} // namespace nimbrel::qt
