#include "controls/get_string.h"

#include "sysutil/text_routines.h"

namespace nimbrel {

bool KeyNavigation = false;

void TGetString::SetText(std::string_view text) {
    text_ = text;
    if (auto* peer = PeerAs<TEntryFieldPeer>())
        peer->ShowText(text_);
}

void TGetString::SelectAll() {
    if (auto* peer = PeerAs<TEntryFieldPeer>())
        peer->SelectAll();
}

void TGetString::ShowState() {
    PeerAs<TEntryFieldPeer>()->ShowText(text_);
}

void TGetString::FocusEnter() {
    if (entered_)
        return;
    entered_ = true;
    DoEnter();
}

void TGetString::FocusExit() {
    if (!entered_)
        return;
    entered_ = false;
    DoExit();
}

int TGetString::UserKeyDown(int key, TShiftState shift) {
    if (key != 0)
        KeyDown(key, shift);
    return key;
}

char TGetString::UserKeyPress(char key) {
    KeyPress(key);
    return key;
}

void TGetString::DoEnter() {
    if (OnEnter)
        OnEnter(this);
    SelectAll();
}

void TGetString::DoExit() {
    if (OnExit)
        OnExit(this);
    if (upperCase_) {
        const std::string upper = UpperText(text_);
        if (upper != text_)
            SetText(upper);
    }
    if (OnCorrect)
        OnCorrect(this);
}

void TGetString::KeyDown(int& key, TShiftState shift) {
    if (KeyNavigation && (key == VkUp || key == VkDown)) {
        MoveFocus(key == VkDown);
        key = 0;
    }
    if (key != 0 && OnKeyDown)
        OnKeyDown(this, key, shift);
}

void TGetString::KeyPress(char& key) {
    if (KeyNavigation && key == '\r') {
        MoveFocus(true);
        key = 0;
    }
    if (key != 0 && OnKeyPress)
        OnKeyPress(this, key);
    MapNationalChar(key);
}

void TGetString::MoveFocus(bool next) {
    if (auto* peer = PeerAs<TEntryFieldPeer>())
        peer->MoveFocus(next);
}

} // namespace nimbrel
