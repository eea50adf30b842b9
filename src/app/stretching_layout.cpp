// Layout of the "Picture Stretching" page: the wallpaper's and the screen saver's sizing.
#include "app/layout.h"
#include "app/options_form.h"
#include "controls/drop_down_list.h"
#include "controls/get_number.h"
#include "controls/radio_button.h"

#include <QGroupBox>

namespace nimbrel {
namespace {

template <class Control> Control* Captioned(Control* control, const char* caption) {
    control->setText(QString::fromLatin1(caption));
    return control;
}

} // namespace

void TOptionsForm::BuildStretchingPage() {
    QWidget* page = TabSheet4;
    GroupBox3 =
        Place(new QGroupBox(QStringLiteral("Wallpaper"), page), "GroupBox3", {2, 2, 427, 101});
    GroupBox2 =
        Place(new QGroupBox(QStringLiteral("Screen Saver"), page), "GroupBox2", {2, 106, 427, 55});

    QWidget* wallpaper = GroupBox3;
    WMFit = Place(Captioned(new TRadioButton(wallpaper), "Fit to screen"), "WMFit",
                  {8, 16, 113, 17}, 2201);
    WMOrg = Place(Captioned(new TRadioButton(wallpaper), "Original size"), "WMOrg",
                  {8, 32, 113, 17}, 2202);
    WMRes =
        Place(Captioned(new TRadioButton(wallpaper), "Resize to:"), "WMRes", {8, 48, 75, 17}, 2203);
    WMWidth = Place(new TGetNumber(wallpaper), "WMWidth", {86, 46, 49, 21}, 2204);
    WMWidth->SetPicture("####");
    Label10 = AutoSizeLabel(wallpaper, "Label10", "x", 138, 48);
    WMHeight = Place(new TGetNumber(wallpaper), "WMHeight", {148, 46, 49, 21}, 2204);
    WMHeight->SetPicture("####");
    Label12 = AutoSizeLabel(wallpaper, "Label12", "pixel", 202, 48);
    Label13 = AutoSizeLabel(wallpaper, "Label13", "Position:", 10, 76);
    WMPosition = Place(new TDropDownList(wallpaper), "WMPosition", {86, 72, 145, 21}, 2205);
    WMPosition->addItems({QStringLiteral("Center"), QStringLiteral("Left Center"),
                          QStringLiteral("Right Center"), QStringLiteral("Top Center"),
                          QStringLiteral("Bottom Center"), QStringLiteral("Top Left"),
                          QStringLiteral("Top Right"), QStringLiteral("Bottom Left"),
                          QStringLiteral("Bottom Right")});
    WMPosition->setMaxVisibleItems(10);
    WMPosition->SetItemIndex(-1);

    QWidget* screenSaver = GroupBox2;
    SSFit = Place(Captioned(new TRadioButton(screenSaver), "Fit to screen"), "SSFit",
                  {8, 16, 409, 17}, 2206);
    SSOrg = Place(Captioned(new TRadioButton(screenSaver), "Original size"), "SSOrg",
                  {8, 32, 409, 17}, 2207);
}

} // namespace nimbrel
