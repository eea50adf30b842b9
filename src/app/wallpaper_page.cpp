// The wallpaper page's behaviour: the list of pictures, the preview and the two requests.
#include "app/options_form.h"

#include "settings/registry_accessor.h"
#include "settings/store_values.h"
#include "sysutil/list_files.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

namespace {

// The changer's own working files lie in the wallpaper folder as bitmaps; they are not
// pictures to offer. Upper case: the lister has already upper-cased the names.
bool IsChangerFile(const std::string& bitmapName) {
    return bitmapName == "NIMBREL.BMP" || bitmapName == "NEXTPIC.BMP";
}

// Only JPEG pictures can be requested; a bitmap is shown but not offered to the changer.
bool IsRequestable(std::string_view line) {
    return line.find(".JPG") != std::string_view::npos;
}

// The selected line, or false when the list has no selection.
bool SelectedLine(const TListBox& list, std::string& line) {
    if (list.ItemIndex() < 0)
        return false;
    line = list.Items()[static_cast<std::size_t>(list.ItemIndex())];
    return true;
}

// Writes one request into the settings key, created when missing. A request that cannot
// be written is dropped: the changer simply never sees it.
void WriteRequest(std::string_view value, const TListBox& list) {
    TRegistry registry;
    registry.OpenKey(store::SettingsKey, true);
    try {
        std::string line;
        if (SelectedLine(list, line))
            registry.WriteString(value, line);
    } catch (const std::exception&) {
    }
}

} // namespace

void TOptionsForm::FillWallPapers() {
    std::vector<std::string> jpegs;
    std::vector<std::string> bitmaps;
    ListFiles(Folder->Directory() + "\\*.JPG", jpegs);
    ListFiles(Folder->Directory() + "\\*.BMP", bitmaps);
    std::erase_if(bitmaps, IsChangerFile);

    // Both lists come sorted in the lister's case-insensitive order; merging them gives
    // the sorted list box's order without a sort per insertion.
    std::vector<std::string> names;
    names.reserve(jpegs.size() + bitmaps.size());
    std::merge(
        jpegs.begin(), jpegs.end(), bitmaps.begin(), bitmaps.end(), std::back_inserter(names),
        [](const std::string& a, const std::string& b) { return CompareNamesNoCase(a, b) < 0; });
    WallpaperList->SetItems(std::move(names));

    const bool any = WallpaperList->Count() > 0;
    Button1->SetEnabled(any);
    Button2->SetEnabled(any);
    Button5->SetEnabled(any);
    if (any) {
        WallpaperList->SetItemIndex(0);
        WallpaperListClick();
    }
}

void TOptionsForm::WallpaperListClick() {
    std::string line;
    const bool selected = SelectedLine(*WallpaperList, line);
    Button1->SetEnabled(selected && IsRequestable(line));
    Button2->SetEnabled(selected && IsRequestable(line));
    if (!selected) {
        Preview->Clear();
        return;
    }
    // A JPEG loads its bytes and header here; it is decoded when the preview paints.
    try {
        Preview->LoadFromFile(Folder->Directory() + "\\" + line);
    } catch (const std::exception&) {
        Preview->Clear();
    }
}

void TOptionsForm::FolderChange() {
    Preview->Clear();
    FillWallPapers();
}

// The drive selector has moved the folder list first, so the list is already refilled.
void TOptionsForm::DriveChange() {
    Preview->Clear();
}

void TOptionsForm::Button1Click() {
    WriteRequest(store::ChangeTo, *WallpaperList);
    Button1->SetEnabled(false);
}

void TOptionsForm::Button2Click() {
    WriteRequest(store::SetAsNext, *WallpaperList);
    Button2->SetEnabled(false);
}

} // namespace nimbrel
