#pragma once
// The Qt application shell: the application object with its look and its standard error
// report (an exception that leaves an event handler, a control or a paint is reported and
// the program goes on), and the Qt toolkit services of the dialog.
#include "controls/toolkit.h"

#include <QApplication>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace nimbrel::qt {

class TQtHelpPopup;

class TQtApplication : public QApplication {
    Q_OBJECT

public:
    // Sets the look: off Windows the classic style with the 8-point sans font. Qt is given
    // the program's name alone, so that none of its own options (-reverse, -style,
    // -qwindowtitle, ...) changes the dialog or hides an argument from the program.
    TQtApplication(int argc, char** argv);

    // The command-line arguments after the program's name, all of them (code page 1250).
    const std::vector<std::string>& ProgramArguments() const { return arguments_; }

    bool notify(QObject* receiver, QEvent* event) override;

private:
    std::vector<std::string> arguments_;
};

class TQtToolkit : public TToolkit {
public:
    TQtToolkit();
    ~TQtToolkit() override;

    std::unique_ptr<TFormPeer> BuildWindows(TForm& form, TLayout layout) override;
    void RunMessageLoop(TForm& form) override;
    void ProcessMessages() override;
    void ShowMessageBox(const TMessageBoxRequest& request) override;
    void ShowScreenCursor(TCursor cursor) override;
    TSize ScreenSize() const override;

protected:
    void ShowHelpPopup(TPoint topLeft, const std::string& text) override;

private:
    std::unique_ptr<TQtHelpPopup> helpPopup_;
    std::chrono::steady_clock::time_point lastWindowSystemPass_;
};

} // namespace nimbrel::qt
