#include "controls/qt/get_number.h"

#include "controls/number_picture.h"
#include "controls/qt/text.h"
#include "sysutil/text_routines.h"

#include <cmath>

namespace nimbrel {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

TQtGetNumber::TQtGetNumber(QWidget* parent) : TQtGetString(parent) {
    if (IsBlank(picture_)) {
        picture_ = DefaultPicture;
    }
}

long double TQtGetNumber::Value() const {
    return negative_ ? -magnitude_ : magnitude_;
}

void TQtGetNumber::SetValue(long double value) {
    magnitude_ = std::fabs(value);
    negative_ = value < 0;
    SetText(RenderPicture(Value(), picture_));
}

void TQtGetNumber::DoEnter() {
    TQtGetString::DoEnter();
    freshEntry_ = true;
    decimalPlace_ = 0;
}

void TQtGetNumber::Clear() {
    SetValue(0);
    negative_ = false;
    decimalPlace_ = 0;
}

void TQtGetNumber::KeyDown(int& key, Qt::KeyboardModifiers shift) {
    TQtGetString::KeyDown(key, shift);
    if (key == VkDelete) {
        Clear();
        key = 0;
    }
}

// The calculator: every character is consumed, and the text shows the number after it.
void TQtGetNumber::KeyPress(char& key) {
    TQtGetString::KeyPress(key);
    if (freshEntry_ && IsDigit(key)) {
        Clear(); // the first digit after entering starts a new positive number
    }
    switch (key) {
    case '\b':
    case '+':
        Clear();
        break;
    case '-':
        // Starts a new negative number; it does not flip the sign of the one shown.
        SetValue(0);
        negative_ = true;
        decimalPlace_ = 0;
        break;
    case '.':
    case ',':
        // A second decimal point drops the fraction typed so far.
        SetValue(std::trunc(Value()));
        decimalPlace_ = 1;
        break;
    default:
        if (IsDigit(key)) {
            AddDigit(key - '0');
        }
        break;
    }
    key = 0;
    freshEntry_ = false;
    SetText(RenderPicture(Value(), picture_));
}

void TQtGetNumber::AddDigit(int digit) {
    const long double value = Value();
    const long double d = digit;
    if (decimalPlace_ == 0) {
        SetValue(negative_ ? value * 10 - d : value * 10 + d);
        return;
    }
    const long double place = SignedPower(10, decimalPlace_);
    SetValue(negative_ ? value - d / place : value + d / place);
    // From the tenth fractional digit on, every digit lands at 10^-10.
    if (decimalPlace_ < 10) {
        ++decimalPlace_;
    }
}

} // namespace nimbrel
