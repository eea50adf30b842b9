#pragma once
// The context help pop-up where no help viewer is: a small framed text with its top-left
// corner at the point asked for (kept on the screen), gone at the next key or click.
#include <QLabel>

namespace nimbrel::qt {

class TQtHelpPopup : public QLabel {
public:
    TQtHelpPopup();
    ~TQtHelpPopup() override;

    void ShowAt(QPoint topLeft, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace nimbrel::qt
