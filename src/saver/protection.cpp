#include "saver/protection.h"

#include "settings/store_values.h"

#include <cstdlib>

namespace nimbrel::saver {

bool Protection::IsAccessKey(int letter, HeldModifiers held) const {
    if (letter != rule_->key)
        return false;
    // Exactly the one modifier: Ctrl+Alt+K is not Ctrl+K.
    const bool shift = rule_->shift == store::AccessShiftShift;
    const bool ctrl = rule_->shift == store::AccessShiftCtrl;
    const bool alt = rule_->shift == store::AccessShiftAlt;
    return held.shift == shift && held.ctrl == ctrl && held.alt == alt;
}

Protection::State Protection::BackToPictures() {
    wrongPresses_ = 0;
    state_ = State::Pictures;
    return state_;
}

Protection::State Protection::KeyPressed(int letter, HeldModifiers held) {
    if (state_ != State::Pictures)
        return state_; // the password box takes its own keys
    if (!rule_ || IsAccessKey(letter, held)) {
        state_ = State::Ended;
        return state_;
    }
    if (++wrongPresses_ >= rule_->times)
        state_ = State::PasswordBox;
    return state_;
}

Protection::State Protection::PointerAt(int x, int y) {
    if (rule_ || state_ != State::Pictures)
        return state_;
    if (!firstPointer_) {
        firstPointer_.emplace(x, y);
        return state_;
    }
    if (std::abs(x - firstPointer_->first) > MoveTolerance ||
        std::abs(y - firstPointer_->second) > MoveTolerance)
        state_ = State::Ended;
    return state_;
}

Protection::State Protection::Clicked() {
    if (!rule_ && state_ == State::Pictures)
        state_ = State::Ended;
    return state_;
}

Protection::State Protection::PasswordGiven(std::string_view password) {
    if (state_ != State::PasswordBox)
        return state_;
    if (password == rule_->password) {
        state_ = State::Ended;
        return state_;
    }
    return BackToPictures();
}

Protection::State Protection::PasswordCancelled() {
    if (state_ != State::PasswordBox)
        return state_;
    return BackToPictures();
}

} // namespace nimbrel::saver
