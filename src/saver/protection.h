#pragma once
// What ends the screen saver. Unprotected, any key, click or mouse move of more than a few
// pixels. Protected, only the access key pressed with its modifier, or the password: every
// other key counts as a wrong access key, and after the set number of wrong presses the
// saver asks for the password; a wrong password or Escape returns to the pictures with the
// count started again. Mouse moves and clicks do nothing while protected.
#include "saver/saver_settings.h"

#include <optional>
#include <string_view>
#include <utility>

namespace nimbrel::saver {

// The modifiers held with a key, as the access rule names them.
struct HeldModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

class Protection {
public:
    enum class State { Pictures, PasswordBox, Ended };

    // A move this far (in pixels, on either axis) from where the pointer was first seen ends
    // an unprotected saver; a smaller one is a table being bumped.
    static constexpr int MoveTolerance = 8;

    explicit Protection(std::optional<AccessRule> rule) : rule_(std::move(rule)) {}

    // A key went down. `letter` is 'A'..'Z' for a letter key, 0 for any other key; the
    // modifier keys themselves (Shift, Ctrl, Alt) are no presses and are not reported.
    State KeyPressed(int letter, HeldModifiers held);
    State PointerAt(int x, int y);
    State Clicked();
    // The password box's answers.
    State PasswordGiven(std::string_view password);
    State PasswordCancelled();

    State Now() const { return state_; }
    bool Protected() const { return rule_.has_value(); }
    int WrongPresses() const { return wrongPresses_; }

private:
    bool IsAccessKey(int letter, HeldModifiers held) const;
    State BackToPictures();

    std::optional<AccessRule> rule_;
    State state_ = State::Pictures;
    int wrongPresses_ = 0;
    std::optional<std::pair<int, int>> firstPointer_;
};

} // namespace nimbrel::saver
