#include "controls/drop_down_list.h"

#include "controls/qt_text.h"

namespace nimbrel {

TDropDownList::TDropDownList(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
}

void TDropDownList::SetItemIndex(int index) {
    setCurrentIndex(index >= 0 && index < count() ? index : -1);
}

void TDropDownList::AddItem(std::string_view cp1250) {
    addItem(ToQString(cp1250));
}

} // namespace nimbrel
