#include "controls/qt/password_edit.h"

#include "controls/qt/text.h"

#include <QProxyStyle>

#include <limits>

namespace nimbrel {
namespace {

// The mask character is a style hint that many styles answer with a bullet.
class StarMaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) {
            return '*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

TQtPasswordEdit::TQtPasswordEdit(QWidget* parent) : QLineEdit(parent) {
    auto* style = new StarMaskStyle;
    style->setParent(this);
    setStyle(style);
    setEchoMode(QLineEdit::Password);
    setMaxLength(std::numeric_limits<int>::max());
}

std::string TQtPasswordEdit::Text() const {
    return FromQString(text());
}

void TQtPasswordEdit::SetText(std::string_view cp1250) {
    setText(ToQString(cp1250));
}

} // namespace nimbrel
