#pragma once
// A drop-down list without typing whose index follows the classic list's rule: an index
// outside the items shows no selection and then reads -1.
#include <QComboBox>

#include <string_view>

namespace nimbrel {

class TQtDropDownList : public QComboBox {
    Q_OBJECT
public:
    explicit TQtDropDownList(QWidget* parent = nullptr);

    int ItemIndex() const { return currentIndex(); }
    void SetItemIndex(int index);
    // An item in code page 1250.
    void AddItem(std::string_view cp1250);
};

} // namespace nimbrel
