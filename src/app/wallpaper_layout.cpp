// Layout of the "Wallpaper" page.
#include "app/layout.h"
#include "app/options_form.h"
#include "controls/check_box.h"
#include "controls/drive_selector.h"
#include "controls/folder_list.h"
#include "controls/picture_box.h"
#include "controls/track_bar.h"

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
    IdleTimeTrackBar = Place(new TTrackBar(page), "IdleTimeTrackBar", {8, 18, 383, 31}, 2001);
    IdleTimeTrackBar->setOrientation(Qt::Horizontal);
    IdleTimeTrackBar->SetRange(1, 300);
    IdleTimeTrackBar->setTickInterval(1);
    IdleTimeTrackBar->setTickPosition(QSlider::TicksBelow);
    IdleTimeTrackBar->SetPosition(300);
    IdleTime = FixedLabel(page, "IdleTime", "min", {388, 24, 40, 13});
    IdleTime->setAlignment(Qt::AlignRight | Qt::AlignTop);

    Label1 = AutoSizeLabel(page, "Label1", "Wallpaper folder:", 8, 54);
    Drive = Place(new TDriveSelector(page), "Drive", {14, 68, 181, 19}, 2002);
    Folder = Place(new TFolderList(page), "Folder", {14, 89, 181, 94}, 2002);
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
    Preview = Place(new TPictureBox(page), "Preview", {362, 134, 65, 49});

    AutoLoad = Place(new TCheckBox(page), "AutoLoad", {14, 186, 171, 17}, 2006);
    AutoLoad->setText(QStringLiteral("Launch Nimbrel on Startup"));
    ExitOnChange = Place(new TCheckBox(page), "ExitOnChange", {198, 186, 157, 17}, 2007);
    ExitOnChange->setText(QStringLiteral("Exit after wallpaper change"));
}

} // namespace nimbrel
