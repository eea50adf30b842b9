#pragma once
// A single-line edit that shows every character as "*", with no length limit.
#include <QLineEdit>

#include <string>
#include <string_view>

namespace nimbrel {

class TQtPasswordEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TQtPasswordEdit(QWidget* parent = nullptr);

    // The text in code page 1250.
    std::string Text() const;
    void SetText(std::string_view cp1250);
};

} // namespace nimbrel
