#pragma once
// A picture box: draws its picture stretched over the whole box (aspect not kept).
#include <QWidget>

#include <memory>
#include <string_view>

class QPaintEvent;

namespace nimbrel {

class TGraphic;

class TPictureBox : public QWidget {
    Q_OBJECT
public:
    explicit TPictureBox(QWidget* parent = nullptr);
    ~TPictureBox() override;

    // Loads a file through the picture-format registry, by its extension. Throws on an
    // unregistered extension or a file that fails to load, leaving the box as it was.
    void LoadFromFile(std::string_view path);
    // Picture := nothing.
    void Clear();
    TGraphic* Picture() const { return picture_.get(); }

protected:
    // An exception of the picture's drawing leaves this (the application reports it).
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TGraphic> picture_;
};

} // namespace nimbrel
