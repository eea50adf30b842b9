// The pages' windows, built by hand until the Qt frontend builds them from the layout tables.
#include "app/options_form.h"
#include "app/qt_page_layout.h"
#include "controls/qt/check_box.h"
#include "controls/qt/drive_selector.h"
#include "controls/qt/drop_down_list.h"
#include "controls/qt/folder_list.h"
#include "controls/qt/get_number.h"
#include "controls/qt/password_edit.h"
#include "controls/qt/picture_box.h"
#include "controls/qt/radio_button.h"
#include "controls/qt/track_bar.h"
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>

namespace nimbrel {

namespace {

// Lines of a fixed height, as the list was drawn with.
class FixedHeightLines : public QStyledItemDelegate {
public:
    FixedHeightLines(int height, QObject* parent) : QStyledItemDelegate(parent), height_(height) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(), height_};
    }

private:
    int height_;
};

} // namespace

void TOptionsForm::BuildWallpaperPage() {
    QWidget* page = TabSheet1;
    Label11 = AutoSizeLabel(page, "Label11", "Wallpaper image change interval:", 8, 4);
    IdleTimeTrackBar = Place(new TQtTrackBar(page), "IdleTimeTrackBar", {8, 18, 383, 31}, 2001);
    IdleTimeTrackBar->setOrientation(Qt::Horizontal);
    IdleTimeTrackBar->SetRange(1, 300);
    IdleTimeTrackBar->setTickInterval(1);
    IdleTimeTrackBar->setTickPosition(QSlider::TicksBelow);
    IdleTimeTrackBar->SetPosition(300);
    IdleTime = FixedLabel(page, "IdleTime", "min", {388, 24, 40, 13});
    IdleTime->setAlignment(Qt::AlignRight | Qt::AlignTop);

    Label1 = AutoSizeLabel(page, "Label1", "Wallpaper folder:", 8, 54);
    Drive = Place(new TQtDriveSelector(page), "Drive", {14, 68, 181, 19}, 2002);
    Folder = Place(new TQtFolderList(page), "Folder", {14, 89, 181, 94}, 2002);
    Drive->SetFolderList(Folder);

    Label2 = AutoSizeLabel(page, "Label2", "Wallpapers:", 200, 54);
    WallpaperList = Place(new QListWidget(page), "WallpaperList", {198, 68, 155, 115}, 2003);
    WallpaperList->setSelectionMode(QAbstractItemView::SingleSelection);
    WallpaperList->setItemDelegate(new FixedHeightLines(13, WallpaperList));
    WallpaperList->installEventFilter(this);

    Button2 = Place(new QPushButton(QStringLiteral("&Set as next"), page), "Button2",
                    {356, 66, 75, 25}, 2004);
    Button1 = Place(new QPushButton(QStringLiteral("&Change to"), page), "Button1",
                    {356, 92, 75, 25}, 2005);
    Button2->setAutoDefault(true);
    Button1->setAutoDefault(true);
    Label9 = AutoSizeLabel(page, "Label9", "Preview:", 358, 120);
    Preview = Place(new TQtPictureBox(page), "Preview", {362, 134, 65, 49});

    AutoLoad = Place(new TQtCheckBox(page), "AutoLoad", {14, 186, 171, 17}, 2006);
    AutoLoad->setText(QStringLiteral("Launch Nimbrel on Startup"));
    ExitOnChange = Place(new TQtCheckBox(page), "ExitOnChange", {198, 186, 157, 17}, 2007);
    ExitOnChange->setText(QStringLiteral("Exit after wallpaper change"));
}

void TOptionsForm::BuildScreenSaverPage() {
    QWidget* page = TabSheet2;
    Label3 = AutoSizeLabel(page, "Label3", "Screen saver image change interval:", 8, 4);
    ScreenSaverTrackBar =
        Place(new TQtTrackBar(page), "ScreenSaverTrackBar", {6, 18, 383, 31}, 2101);
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
    UseAccessKey = Place(new TQtCheckBox(group), "UseAccessKey", {6, 16, 275, 17}, 2102);
    UseAccessKey->setText(QStringLiteral("Protect sceen saver with Access Key and Password"));
    Label5 = AutoSizeLabel(group, "Label5", "Access Key:", 6, 38);
    AKShift = Place(new TQtDropDownList(group), "AKShift", {68, 34, 60, 21}, 2103);
    AKShift->addItems({QStringLiteral("Shift"), QStringLiteral("Ctrl"), QStringLiteral("Alt")});
    AKShift->SetItemIndex(-1);
    AKCode = Place(new TQtDropDownList(group), "AKCode", {132, 34, 60, 21}, 2103);
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        AKCode->addItem(QString(QLatin1Char(letter)));
    AKCode->SetItemIndex(-1);
    Label6 = AutoSizeLabel(group, "Label6", "If wrong Access Key is pressed for ", 6, 62);
    AKTimes = Place(new TQtGetNumber(group), "AKTimes", {174, 58, 29, 21}, 2104);
    AKTimes->SetPicture("#####");
    Label7 = AutoSizeLabel(group, "Label7", "times, ask for password:", 206, 62);
    AKPassword = Place(new TQtPasswordEdit(group), "AKPassword", {322, 58, 79, 21}, 2105);
    Label8 = AutoSizeLabel(group, "Label8", "Retype password:", 234, 86);
    AKPassword2 = Place(new TQtPasswordEdit(group), "AKPassword2", {322, 82, 79, 21}, 2105);

    OtherSS = Place(new TQtCheckBox(page), "OtherSS", {6, 166, 219, 17}, 2106);
    OtherSS->setText(QStringLiteral("Auto install Nimbrel Screen Saver"));
}

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
    WMFit = Place(Captioned(new TQtRadioButton(wallpaper), "Fit to screen"), "WMFit",
                  {8, 16, 113, 17}, 2201);
    WMOrg = Place(Captioned(new TQtRadioButton(wallpaper), "Original size"), "WMOrg",
                  {8, 32, 113, 17}, 2202);
    WMRes = Place(Captioned(new TQtRadioButton(wallpaper), "Resize to:"), "WMRes", {8, 48, 75, 17},
                  2203);
    WMWidth = Place(new TQtGetNumber(wallpaper), "WMWidth", {86, 46, 49, 21}, 2204);
    WMWidth->SetPicture("####");
    Label10 = AutoSizeLabel(wallpaper, "Label10", "x", 138, 48);
    WMHeight = Place(new TQtGetNumber(wallpaper), "WMHeight", {148, 46, 49, 21}, 2204);
    WMHeight->SetPicture("####");
    Label12 = AutoSizeLabel(wallpaper, "Label12", "pixel", 202, 48);
    Label13 = AutoSizeLabel(wallpaper, "Label13", "Position:", 10, 76);
    WMPosition = Place(new TQtDropDownList(wallpaper), "WMPosition", {86, 72, 145, 21}, 2205);
    WMPosition->addItems({QStringLiteral("Center"), QStringLiteral("Left Center"),
                          QStringLiteral("Right Center"), QStringLiteral("Top Center"),
                          QStringLiteral("Bottom Center"), QStringLiteral("Top Left"),
                          QStringLiteral("Top Right"), QStringLiteral("Bottom Left"),
                          QStringLiteral("Bottom Right")});
    WMPosition->setMaxVisibleItems(10);
    WMPosition->SetItemIndex(-1);

    QWidget* screenSaver = GroupBox2;
    SSFit = Place(Captioned(new TQtRadioButton(screenSaver), "Fit to screen"), "SSFit",
                  {8, 16, 409, 17}, 2206);
    SSOrg = Place(Captioned(new TQtRadioButton(screenSaver), "Original size"), "SSOrg",
                  {8, 32, 409, 17}, 2207);
}

void TOptionsForm::BuildNWPPage() {
    QWidget* page = TabSheet3;
    Label4 = FixedLabel(page, "Label4",
                        "Nimbrel version 2.x used NWP (compressed BMP) files for images. From "
                        "version 3.0, Nimbrel uses JPEG files. If you still have old NWP files, "
                        "you need to convert them to use them with Nimbrel 3.x.",
                        {4, 6, 425, 43});
    Label4->setWordWrap(true);
    Label4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    NoOfNWPs = FixedLabel(page, "NoOfNWPs", "", {4, 52, 425, 45});
    NoOfNWPs->setWordWrap(true);
    NoOfNWPs->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Button4 =
        Place(new QPushButton(QStringLiteral("Convert"), page), "Button4", {138, 168, 75, 25});
    Button6 = Place(new QPushButton(QStringLiteral("Delete"), page), "Button6", {219, 168, 75, 25});
    for (QPushButton* button : {Button4, Button6}) {
        button->setAutoDefault(true);
        button->setEnabled(false);
    }
}

} // namespace nimbrel
