#include "app/message_box.h"

#include "controls/qt_text.h"

#include <QApplication>
#include <QMessageBox>

#include <utility>

namespace nimbrel {
namespace {

std::function<void(const TMessageBoxRequest&)>& Answerer() {
    static std::function<void(const TMessageBoxRequest&)> answerer;
    return answerer;
}

// The stored texts break lines with a bare carriage return; Qt breaks on line feeds.
QString DisplayText(const std::string& text) {
    QString shown = ToQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

} // namespace

void ShowMessageBox(const TMessageBoxRequest& request, QWidget* parent) {
    if (Answerer()) {
        Answerer()(request);
        return;
    }
    QMessageBox box(request.icon == TMessageIcon::Error ? QMessageBox::Critical
                                                        : QMessageBox::NoIcon,
                    ToQString(request.caption), DisplayText(request.text), QMessageBox::Ok,
                    parent ? parent : QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

void SetMessageBoxAnswerer(std::function<void(const TMessageBoxRequest&)> answerer) {
    Answerer() = std::move(answerer);
}

} // namespace nimbrel
