// The NWP page's behaviour: the count of legacy pictures, their conversion and deletion.
#include "app/options_form.h"

namespace nimbrel {

void TOptionsForm::CountNWPFiles() {}

void TOptionsForm::Button4Click() {
    ConvertNWPFiles();
}

void TOptionsForm::Button6Click() {
    DeleteNWPFiles();
}

void TOptionsForm::ConvertNWPFiles() {}

void TOptionsForm::DeleteNWPFiles() {}

} // namespace nimbrel
