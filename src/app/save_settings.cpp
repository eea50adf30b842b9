// Writing the controls back into the settings store, the SYSTEM.INI entry and autostart.
#include "app/options_form.h"
#include "controls/message_box.h"
#include "settings/registry_accessor.h"
#include "settings/store_entries.h"
#include "settings/store_errors.h"
#include "settings/store_values.h"

#include <cmath>
#include <exception>
#include <limits>
#include <new>

namespace nimbrel {
namespace {

// A field's number truncated toward zero, clamped into what a 32-bit value holds.
std::int32_t TruncatedValue(long double value) {
    constexpr auto lowest = std::numeric_limits<std::int32_t>::min();
    constexpr auto highest = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value))
        return 0;
    const long double truncated = std::trunc(value);
    if (truncated <= lowest)
        return lowest;
    if (truncated >= highest)
        return highest;
    return static_cast<std::int32_t>(truncated);
}

const TMessageBoxRequest InvalidProtectionMessage{
    "Error setting Access Key",
    "There's an error in Access Key settings:\r"
    "\r"
    "* Number of times before asking for password is less than 3\r"
    "* Password is less than 6 characters long or\r"
    "* Passwords do not match\r"
    "\r"
    "Access Key will not be enabled!",
    TMessageIcon::None};

} // namespace

// The values are written one by one, in the order the wallpaper changer's readers expect;
// the first failed write ends the settings key's part. Such a failure is reported after the
// autostart entry has had its own chance, so "&OK" never closes as if all were saved.
void TOptionsForm::SaveSettings() {
    std::exception_ptr failure;
    {
        TRegistry reg;
        reg.OpenKey(store::SettingsKey, true);
        try {
            reg.WriteString(store::ExitOnChange, ExitOnChange->Checked() ? store::Yes : store::No);
            if (WMFit->Checked())
                reg.WriteString(store::StretchWallpaper, store::FitToScreen);
            if (WMOrg->Checked())
                reg.WriteString(store::StretchWallpaper, store::Original);
            if (WMRes->Checked())
                reg.WriteString(store::StretchWallpaper, store::Resize);
            reg.WriteInteger(store::StretchWallpaperWidth, TruncatedValue(WMWidth->Value()));
            reg.WriteInteger(store::StretchWallpaperHeight, TruncatedValue(WMHeight->Value()));
            reg.WriteInteger(store::StretchWallpaperPosition, WMPosition->ItemIndex());
            reg.WriteString(store::StretchScreenSaver,
                            SSOrg->Checked() ? store::Original : store::FitToScreen);
            if (OtherSS->Checked()) {
                reg.WriteString(store::DisableScreenSaver, store::No);
                // The screen saver's installation is a side matter: the settings after it
                // are saved even when SYSTEM.INI cannot be written.
                try {
                    InstallScreenSaver(ProgramFolder);
                } catch (const EIniFileException&) {
                }
            } else {
                reg.WriteString(store::DisableScreenSaver, store::Yes);
            }
            reg.WriteInteger(store::Interval, IdleTimeTrackBar->Position());
            reg.WriteInteger(store::ScreenSaverInterval, ScreenSaverTrackBar->Position());
            reg.WriteString(store::WallpaperFolder, Folder->Directory());

            if (UseAccessKey->Checked() && !ProtectionIsValid()) {
                ShowMessageBox(InvalidProtectionMessage);
                UseAccessKey->SetChecked(false);
            }
            if (UseAccessKey->Checked()) {
                reg.WriteInteger(store::AccessKey, AKCode->ItemIndex() + store::FirstAccessKey);
                reg.WriteInteger(store::AccessShift, AKShift->ItemIndex() + 1);
                reg.WriteInteger(store::AccessTimes, TruncatedValue(AKTimes->Value()));
                reg.WriteString(store::AccessPassword, AKPassword->Text());
            } else {
                reg.WriteInteger(store::AccessKey, store::NoAccessKey);
                reg.WriteInteger(store::AccessShift, store::AccessShiftNone);
                reg.WriteInteger(store::AccessTimes, 0);
                reg.WriteString(store::AccessPassword, "");
            }
        } catch (...) {
            failure = std::current_exception();
        }
    } // the settings key is closed here

    try {
        WriteAutostart(AutoLoad->Checked(), ProgramFolder);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
    }
    if (failure)
        std::rethrow_exception(failure);
}

bool TOptionsForm::ProtectionIsValid() const {
    return AKTimes->Value() >= store::MinAccessTimes &&
           AKPassword->Text().size() >= store::MinPasswordLength &&
           AKPassword->Text() == AKPassword2->Text();
}

} // namespace nimbrel
