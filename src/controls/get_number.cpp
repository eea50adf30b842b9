#include "controls/get_number.h"

#include "controls/number_picture.h"
#include "sysutil/text_routines.h"

#include <cmath>

namespace nimbrel {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

TGetNumber::TGetNumber(std::string name) : TGetString(std::move(name)) {}

long double TGetNumber::Value() const {
    return negative_ ? -magnitude_ : magnitude_;
}

void TGetNumber::SetValue(long double value) {
    magnitude_ = std::fabs(value);
    negative_ = value < 0;
    SetText(RenderPicture(Value(), picture_));
}

void TGetNumber::DoEnter() {
    TGetString::DoEnter();
    freshEntry_ = true;
    decimalPlace_ = 0;
}

void TGetNumber::Clear() {
    SetValue(0);
    negative_ = false;
    decimalPlace_ = 0;
}

void TGetNumber::KeyDown(int& key, TShiftState shift) {
    TGetString::KeyDown(key, shift);
    if (key == VkDelete) {
        Clear();
        key = 0;
    }
}

// The calculator: every character is consumed, and the text shows the number after it.
void TGetNumber::KeyPress(char& key) {
    TGetString::KeyPress(key);
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

void TGetNumber::AddDigit(int digit) {
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
