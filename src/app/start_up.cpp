#include "app/start_up.h"

#include "imaging/picture_formats.h"
#include "sysutil/setups.h"

namespace nimbrel {

void PrepareProcess() {
    RunSetups();
    RegisterPictureFormats();
}

} // namespace nimbrel
