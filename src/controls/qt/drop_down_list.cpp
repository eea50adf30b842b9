#include "controls/qt/drop_down_list.h"

#include "controls/qt/text.h"

namespace nimbrel {

TQtDropDownList::TQtDropDownList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
}

void TQtDropDownList::SetItemIndex(int index) {
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void TQtDropDownList::AddItem(std::string_view cp1250) {
    addItem(ToQString(cp1250));
}

} // namespace nimbrel
