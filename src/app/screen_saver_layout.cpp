// Layout of the "Screen Saver" page.
#include "app/layout.h"
#include "app/options_form.h"
#include "controls/check_box.h"
#include "controls/drop_down_list.h"
#include "controls/get_number.h"
#include "controls/password_edit.h"
#include "controls/track_bar.h"

#include <QGroupBox>

namespace nimbrel {

void TOptionsForm::BuildScreenSaverPage() {
    QWidget* page = TabSheet2;
    Label3 = AutoSizeLabel(page, "Label3", "Screen saver image change interval:", 8, 4);
    ScreenSaverTrackBar = Place(new TTrackBar(page), "ScreenSaverTrackBar", {6, 18, 383, 31}, 2101);
    ScreenSaverTrackBar->setOrientation(Qt::Horizontal);
    ScreenSaverTrackBar->SetRange(10, 300);
    ScreenSaverTrackBar->setTickInterval(1);
    ScreenSaverTrackBar->setTickPosition(QSlider::TicksBelow);
    ScreenSaverTrackBar->SetPosition(300);
    SSIdleTime = FixedLabel(page, "SSIdleTime", "min", {388, 24, 40, 13});
    SSIdleTime->setAlignment(Qt::AlignRight | Qt::AlignTop);

    GroupBox1 =
        Place(new QGroupBox(QStringLiteral("Security"), page), "GroupBox1", {6, 52, 419, 109});
    QWidget* group = GroupBox1;
    UseAccessKey = Place(new TCheckBox(group), "UseAccessKey", {6, 16, 275, 17}, 2102);
    UseAccessKey->setText(QStringLiteral("Protect sceen saver with Access Key and Password"));
    Label5 = AutoSizeLabel(group, "Label5", "Access Key:", 6, 38);
    AKShift = Place(new TDropDownList(group), "AKShift", {68, 34, 60, 21}, 2103);
    AKShift->addItems({QStringLiteral("Shift"), QStringLiteral("Ctrl"), QStringLiteral("Alt")});
    AKShift->SetItemIndex(-1);
    AKCode = Place(new TDropDownList(group), "AKCode", {132, 34, 60, 21}, 2103);
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        AKCode->addItem(QString(QLatin1Char(letter)));
    AKCode->SetItemIndex(-1);
    Label6 = AutoSizeLabel(group, "Label6", "If wrong Access Key is pressed for ", 6, 62);
    AKTimes = Place(new TGetNumber(group), "AKTimes", {174, 58, 29, 21}, 2104);
    AKTimes->SetPicture("#####");
    Label7 = AutoSizeLabel(group, "Label7", "times, ask for password:", 206, 62);
    AKPassword = Place(new TPasswordEdit(group), "AKPassword", {322, 58, 79, 21}, 2105);
    Label8 = AutoSizeLabel(group, "Label8", "Retype password:", 234, 86);
    AKPassword2 = Place(new TPasswordEdit(group), "AKPassword2", {322, 82, 79, 21}, 2105);

    OtherSS = Place(new TCheckBox(page), "OtherSS", {6, 166, 219, 17}, 2106);
    OtherSS->setText(QStringLiteral("Auto install Nimbrel Screen Saver"));
}

} // namespace nimbrel
