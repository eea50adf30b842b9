#pragma once
// A picture box: draws its picture stretched over the whole box (aspect not kept).
#include "imaging/picture.h"

#include <QWidget>

#include <string_view>

class QPaintEvent;

namespace nimbrel {

class TQtPictureBox : public QWidget {
    Q_OBJECT
public:
    explicit TQtPictureBox(QWidget* parent = nullptr);

    // Loads a file through the picture-format registry, by its extension. Throws on an
    // unregistered extension or a file that fails to load, leaving the box as it was.
    void LoadFromFile(std::string_view path);
    // Picture := nothing.
    void Clear();
    TGraphic* Picture() const { return picture_.Graphic(); }

protected:
    // An exception of the picture's drawing leaves this (the application reports it).
    void paintEvent(QPaintEvent* event) override;

private:
    TPicture picture_;
};

} // namespace nimbrel
