#pragma once
// Keys held down for the thread while an object lives, as the window procedures read them
// from the keyboard state: how the Win32 tests press Ctrl, Shift or Alt with a key or click.
#include "controls/win32/windows_api.h"

#include <cstring>
#include <initializer_list>
#include <vector>

namespace nimbrel::test {

class HeldKeys {
public:
    HeldKeys(std::initializer_list<int> keys) : HeldKeys(std::vector<int>(keys)) {}
    explicit HeldKeys(const std::vector<int>& keys) {
        GetKeyboardState(saved_);
        BYTE state[256];
        std::memcpy(state, saved_, sizeof state);
        for (int key : keys)
            state[key] |= 0x80;
        SetKeyboardState(state);
    }
    ~HeldKeys() { SetKeyboardState(saved_); }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE saved_[256] = {};
};

} // namespace nimbrel::test
