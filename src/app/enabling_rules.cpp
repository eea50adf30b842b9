// How the controls enable and reset each other, the interval labels and the reload request.
#include "app/options_form.h"
#include "settings/store_entries.h"
#include "settings/store_values.h"
#include "sysutil/text_routines.h"

#include "controls/toolkit.h"

#include <cmath>

namespace nimbrel {
namespace {

// Width to height of a 4:3 screen. Just below 4/3, so no quotient of the four-digit
// fields falls exactly on one half.
constexpr long double AspectRatio = 1.333333333L;

enum class PositionIndex { None = -1, Center = 0, BottomRight = 8 };

long double RoundToInteger(long double value) {
    return std::nearbyint(value);
}

} // namespace

void TOptionsForm::UseAccessKeyClick() {
    const bool on = UseAccessKey->Checked();
    for (TControl* field :
         std::initializer_list<TControl*>{AKShift, AKCode, AKTimes, AKPassword, AKPassword2})
        field->SetEnabled(on);
    AKShift->SetItemIndex(on ? 0 : -1); // "Shift"
    AKCode->SetItemIndex(on ? 0 : -1);  // "A"
    AKTimes->SetValue(on ? store::MinAccessTimes : 0);
    AKPassword->SetText("");
    AKPassword2->SetText("");
}

void TOptionsForm::WMFitClick() {
    WMWidth->SetEnabled(false);
    WMWidth->SetValue(0);
    WMHeight->SetEnabled(false);
    WMHeight->SetValue(0);
    WMPosition->SetEnabled(false);
    WMPosition->SetItemIndex(static_cast<int>(PositionIndex::None));
}

void TOptionsForm::WMOrgClick() {
    WMWidth->SetEnabled(false);
    WMWidth->SetValue(0);
    WMHeight->SetEnabled(false);
    WMHeight->SetValue(0);
    WMPosition->SetEnabled(true);
    WMPosition->SetItemIndex(static_cast<int>(PositionIndex::Center));
}

// A resized picture starts as large as the screen allows below the task bar, at 4:3.
void TOptionsForm::WMResClick() {
    WMHeight->SetEnabled(true);
    WMHeight->SetValue(toolkit_.ScreenSize().Height - 60);
    WMWidth->SetEnabled(true);
    WMWidth->SetValue(RoundToInteger(WMHeight->Value() * AspectRatio));
    WMPosition->SetEnabled(true);
    WMPosition->SetItemIndex(static_cast<int>(PositionIndex::BottomRight));
}

void TOptionsForm::WMHeightEnter() {
    WMHeight->SetValue(RoundToInteger(WMWidth->Value() / AspectRatio));
}

void TOptionsForm::IdleTimeTrackBarChange() {
    IdleTime->SetCaption(NumToText(IdleTimeTrackBar->Position(), 0) + "min");
}

void TOptionsForm::ScreenSaverTrackBarChange() {
    SSIdleTime->SetCaption(NumToText(ScreenSaverTrackBar->Position(), 0) + "sec");
}

// Tells the wallpaper changer to reload its settings; not guarded, so a failed write is
// reported.
void TOptionsForm::TabSheet4Enter() {
    WriteSettingsString(store::ForceReload, store::Yes);
}

} // namespace nimbrel
