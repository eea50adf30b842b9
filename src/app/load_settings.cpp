// Filling the controls from the settings store. Each group of reads is guarded on its own:
// a value that cannot be read ends its group, its fallback applies and loading goes on.
#include "app/options_form.h"
#include "controls/error_report.h"
#include "settings/registry_accessor.h"
#include "settings/store_entries.h"
#include "settings/store_values.h"
#include "sysutil/text_routines.h"
#include "wallpaper_folder/chosen_folder.h"
#include "wallpaper_folder/folder_listing.h"

#include <exception>
#include <new>

namespace nimbrel {
namespace {

// Runs one group; any error in it ends the group and runs the fallback.
template <class Group, class Fallback> void Guarded(Group group, Fallback fallback) {
    try {
        group();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        fallback();
    }
}

template <class Group> void Guarded(Group group) {
    Guarded(group, [] {});
}

} // namespace

void TOptionsForm::LoadSettings() {
    bool saveEverything = false;
    {
        TRegistry reg;
        reg.OpenKey(store::SettingsKey, true);

        // Wallpaper sizing. Each check runs its click handler, which sets the three fields;
        // a missing width leaves them so.
        Guarded([&] {
            WMFit->SetChecked(true);
            if (reg.ReadString(store::StretchWallpaper) == store::Original)
                WMOrg->SetChecked(true);
            if (reg.ReadString(store::StretchWallpaper) == store::Resize)
                WMRes->SetChecked(true);
            WMWidth->SetValue(reg.ReadInteger(store::StretchWallpaperWidth));
            WMHeight->SetValue(reg.ReadInteger(store::StretchWallpaperHeight));
            WMPosition->SetItemIndex(reg.ReadInteger(store::StretchWallpaperPosition));
        });

        Guarded([&] {
            ExitOnChange->SetChecked(false);
            if (reg.ReadString(store::ExitOnChange) == store::Yes)
                ExitOnChange->SetChecked(true);
        });

        Guarded([&] {
            SSFit->SetChecked(true);
            if (reg.ReadString(store::StretchScreenSaver) == store::Original)
                SSOrg->SetChecked(true);
        });

        Guarded(
            [&] { OtherSS->SetChecked(reg.ReadString(store::DisableScreenSaver) != store::Yes); },
            [&] { OtherSS->SetChecked(true); });

        Guarded([&] { IdleTimeTrackBar->SetPosition(reg.ReadInteger(store::Interval)); },
                [&] { IdleTimeTrackBar->SetPosition(store::DefaultInterval); });

        Guarded(
            [&] { ScreenSaverTrackBar->SetPosition(reg.ReadInteger(store::ScreenSaverInterval)); },
            [&] { ScreenSaverTrackBar->SetPosition(store::DefaultScreenSaverInterval); });

        Guarded([&] { Folder->SetDirectory(wallpaper::StoredWallpaperFolder(reg)); },
                [&] { Folder->SetDirectory(""); });

        if (IsBlank(Folder->Directory())) {
            Folder->SetDirectory(wallpaper::FolderListPath(ProgramFolder));
            saveEverything = true;
        }
        if (const std::string folder = Folder->Directory(); !folder.empty())
            Drive->SetDrive(folder.front());

        Guarded(
            [&] {
                const std::int32_t accessKey = reg.ReadInteger(store::AccessKey);
                if (accessKey == store::NoAccessKey) {
                    UseAccessKey->SetChecked(false);
                    return;
                }
                UseAccessKey->SetChecked(true);
                AKCode->SetItemIndex(accessKey - store::FirstAccessKey);
                AKShift->SetItemIndex(reg.ReadInteger(store::AccessShift) - 1);
                AKPassword->SetText(reg.ReadString(store::AccessPassword));
                AKPassword2->SetText(reg.ReadString(store::AccessPassword));
                AKTimes->SetValue(reg.ReadInteger(store::AccessTimes));
            },
            [&] { UseAccessKey->SetChecked(false); });
    } // the settings key is closed here

    if (const std::optional<bool> autostart = ReadAutostart())
        AutoLoad->SetChecked(*autostart);

    if (!UseAccessKey->Checked()) {
        for (TControl* field :
             std::initializer_list<TControl*>{AKCode, AKShift, AKPassword, AKPassword2, AKTimes})
            field->SetEnabled(false);
    }

    // A first run keeps the program's folder as the wallpaper folder and every default.
    // A save that fails here is reported; the dialog still opens.
    if (saveEverything) {
        try {
            SaveSettings();
        } catch (...) {
            ShowException(std::current_exception());
        }
    }
}

} // namespace nimbrel
