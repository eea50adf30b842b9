// The wallpaper page's behaviour: the list of pictures, the preview and the two requests.
#include "app/options_form.h"

namespace nimbrel {

void TOptionsForm::FillWallPapers() {}

void TOptionsForm::WallpaperListClick() {}

void TOptionsForm::FolderChange() {
    FillWallPapers();
}

void TOptionsForm::DriveChange() {}

void TOptionsForm::Button1Click() {}

void TOptionsForm::Button2Click() {}

} // namespace nimbrel
