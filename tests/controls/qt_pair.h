#pragma once
// A control and its Qt window, paired as the dialog's window builder pairs them.
#include <QWidget>

namespace nimbrel::test {

template <class Control, class Window> struct TQtPair {
    Control control;
    Window window;

    explicit TQtPair(const char* name = "control", QWidget* parent = nullptr)
        : control(name), window(control, parent) {
        window.setObjectName(name);
        control.AttachPeer(&window);
    }
    ~TQtPair() { control.DetachPeer(); }
};

} // namespace nimbrel::test
