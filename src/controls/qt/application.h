#pragma once
// The Qt application shell: the application object with its look and its standard error
// report (an exception that leaves an event handler, a control or a paint is reported and
// the program goes on), and the Qt toolkit services of the dialog.
#include "controls/toolkit.h"

#include <QApplication>

namespace nimbrel::qt {

class TQtApplication : public QApplication {
    Q_OBJECT

public:
    // Sets the title, and off Windows the classic style with the 8-point sans font.
    TQtApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

class TQtToolkit : public TToolkit {
public:
    std::unique_ptr<TFormPeer> BuildWindows(TForm& form, TLayout layout) override;
    void RunMessageLoop(TForm& form) override;
    void ProcessMessages() override;
    void ShowMessageBox(const TMessageBoxRequest& request) override;
    void ShowScreenCursor(TCursor cursor) override;
    void PresentHelp(const platform::HelpRequest& request) override;
    TSize ScreenSize() const override;

private:
    QPoint helpPosition_;
};

} // namespace nimbrel::qt
