#include "app/start_up.h"

#include "controls/qt/application.h"
#include "imaging/picture_formats.h"
#include "sysutil/setups.h"

namespace nimbrel {

void PrepareProcess() {
    RunSetups();
    RegisterPictureFormats();
}

void InstallApplicationHooks() {
    static qt::TQtToolkit toolkit;
    InstallToolkit(&toolkit);
}

} // namespace nimbrel
