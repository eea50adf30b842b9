// The wallpaper page's behaviour: the list of pictures, the preview and the two requests.
#include "app/options_form.h"

#include "settings/registry_accessor.h"
#include "settings/store_values.h"
#include "sysutil/message_pump.h"
#include "wallpaper_folder/folder_listing.h"

#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace nimbrel {

namespace {

using wallpaper::IsRequestable;

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
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
    }
}

} // namespace

void TOptionsForm::FillWallPapers() {
    // The folder list is read for each search; the two lists merged give the sorted list
    // box's order, and the list is filled in one go.
    auto jpegs = wallpaper::ListJpegFiles(Folder->Directory(), ProcessMessages);
    auto bitmaps = wallpaper::ListBitmapFiles(Folder->Directory(), ProcessMessages);
    WallpaperList->SetItems(
        wallpaper::NamesOf(wallpaper::MergedPictures(std::move(jpegs), std::move(bitmaps))));

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
        Preview->LoadFromFile(wallpaper::JoinPath(Folder->Directory(), line));
    } catch (const std::bad_alloc&) {
        throw;
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
