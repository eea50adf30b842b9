// The dialog's shell: the window, the page control and the bottom panel; creation, show
// and closing.
#include "app/options_form.h"

#include "app/help.h"
#include "app/product_icon.h"
#include "controls/error_report.h"
#include "controls/qt/check_box.h"
#include "controls/qt/drive_selector.h"
#include "controls/qt/drop_down_list.h"
#include "controls/qt/folder_list.h"
#include "controls/qt/get_number.h"
#include "controls/qt/password_edit.h"
#include "controls/qt/picture_box.h"
#include "controls/qt/radio_button.h"
#include "controls/qt/track_bar.h"
#include "platform/system.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>
#include <QTabWidget>
#include <QWindow>

#include <utility>

namespace nimbrel {
namespace {

constexpr int ClientWidth = 440;
constexpr int ClientHeight = 262;
constexpr int PanelHeight = 30;

// The first command-line argument, compared exactly, and the page it shows first.
QWidget* PageForSwitch(const TOptionsForm& form, const std::string& argument) {
    if (argument == "/SETTINGS")
        return form.TabSheet1;
    if (argument == "/SCREENSAVER")
        return form.TabSheet2;
    if (argument == "/NWPSUPPORT")
        return form.TabSheet3;
    return nullptr;
}

bool IsInside(const QWidget* widget, const QWidget* container) {
    return widget && container && (widget == container || container->isAncestorOf(widget));
}

} // namespace

std::string FolderOfProgram(std::string_view programFile) {
    const auto lastBackslash = programFile.rfind('\\');
    if (lastBackslash == std::string_view::npos)
        return {};
    return std::string(programFile.substr(0, lastBackslash + 1));
}

std::string StripTrailingBackslash(std::string_view path) {
    if (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    return std::string(path);
}

QPoint DialogPlacement(QSize screen, QSize outerFrame) {
    return {screen.width() / 2 - outerFrame.width() / 2 + 100,
            screen.height() / 2 - outerFrame.height() / 2 + 50};
}

TOptionsForm::TOptionsForm(TFormStart start, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowContextHelpButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      start_(std::move(start)) {
    BuildShell();
    BuildWallpaperPage();
    BuildScreenSaverPage();
    BuildStretchingPage();
    BuildNWPPage();
    SetTabOrder();
    ConnectHandlers();
    FormCreate();
}

TOptionsForm::~TOptionsForm() {
    // The base's destructor closes the window, which moves the focus and sends events; this
    // part of the object is gone by then, so it must hear none of them.
    disconnect(qApp, nullptr, this, nullptr);
    qApp->removeEventFilter(this);
    WallpaperList->removeEventFilter(this);
}

void TOptionsForm::BuildShell() {
    setObjectName(QStringLiteral("OptionsForm"));
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
    setWindowIcon(ProductIcon());
    setFixedSize(ClientWidth, ClientHeight);

    Page = new QTabWidget(this);
    Page->setObjectName(QStringLiteral("Page"));
    Page->setGeometry(0, 0, ClientWidth, ClientHeight - PanelHeight);
    auto addPage = [this](QWidget*& sheet, const char* name, const char* caption) {
        sheet = new QWidget;
        sheet->setObjectName(QString::fromLatin1(name));
        Page->addTab(sheet, QString::fromLatin1(caption));
    };
    addPage(TabSheet1, "TabSheet1", "Wallpaper");
    addPage(TabSheet2, "TabSheet2", "Screen Saver");
    addPage(TabSheet4, "TabSheet4", "Picture Stretching");
    addPage(TabSheet3, "TabSheet3", "NWP support");
    Page->setCurrentWidget(TabSheet1);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, ClientHeight - PanelHeight, ClientWidth, PanelHeight);
    auto addButton = [this](QPushButton*& button, const char* name, const char* caption,
                            QRect geometry, int help) {
        button = new QPushButton(QString::fromLatin1(caption), Panel1);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(geometry);
        // Enter presses a button only while it has the focus; neither is the default.
        button->setAutoDefault(true);
        SetHelpContext(button, help);
    };
    addButton(Button5, "Button5", "&OK", {287, 4, 75, 25}, 3001);
    addButton(Button3, "Button3", "&Cancel", {365, 4, 75, 25}, 3002);
}

// Keyboard order: the page control, then each page's controls, then the panel's buttons.
void TOptionsForm::SetTabOrder() {
    const QList<QWidget*> order = {
        Page->tabBar(),
        // Wallpaper
        IdleTimeTrackBar, Drive, Folder, WallpaperList, Button2, Button1, AutoLoad, ExitOnChange,
        // Screen Saver: the track bar, the security group, then the installation box
        ScreenSaverTrackBar, UseAccessKey, AKShift, AKCode, AKTimes, AKPassword, AKPassword2,
        OtherSS,
        // Picture Stretching: the screen-saver group comes first
        SSFit, SSOrg, WMFit, WMOrg, WMRes, WMWidth, WMHeight, WMPosition,
        // NWP support
        Button4, Button6,
        // Panel
        Button5, Button3};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TOptionsForm::ConnectHandlers() {
    // Every handler runs under the standard error report.
    auto handler = [this](void (TOptionsForm::*method)()) {
        return [this, method] { RunReported([this, method] { (this->*method)(); }); };
    };
    connect(IdleTimeTrackBar, &TQtTrackBar::Changed, this,
            handler(&TOptionsForm::IdleTimeTrackBarChange));
    connect(ScreenSaverTrackBar, &TQtTrackBar::Changed, this,
            handler(&TOptionsForm::ScreenSaverTrackBarChange));
    connect(Drive, &TQtDriveSelector::Changed, this, handler(&TOptionsForm::DriveChange));
    connect(Folder, &TQtFolderList::Changed, this, handler(&TOptionsForm::FolderChange));
    connect(WallpaperList, &QListWidget::itemClicked, this,
            handler(&TOptionsForm::WallpaperListClick));
    connect(Button2, &QPushButton::clicked, this, handler(&TOptionsForm::Button2Click));
    connect(Button1, &QPushButton::clicked, this, handler(&TOptionsForm::Button1Click));
    connect(UseAccessKey, &TQtCheckBox::Clicked, this, handler(&TOptionsForm::UseAccessKeyClick));
    connect(WMFit, &TQtRadioButton::Clicked, this, handler(&TOptionsForm::WMFitClick));
    connect(WMOrg, &TQtRadioButton::Clicked, this, handler(&TOptionsForm::WMOrgClick));
    connect(WMRes, &TQtRadioButton::Clicked, this, handler(&TOptionsForm::WMResClick));
    connect(Button4, &QPushButton::clicked, this, handler(&TOptionsForm::Button4Click));
    connect(Button6, &QPushButton::clicked, this, handler(&TOptionsForm::Button6Click));
    connect(Button5, &QPushButton::clicked, this, handler(&TOptionsForm::Button5Click));
    connect(Button3, &QPushButton::clicked, this, handler(&TOptionsForm::Button3Click));

    // Entering the Picture Stretching page and the height field are focus events.
    connect(qApp, &QApplication::focusChanged, this, &TOptionsForm::FocusChanged);

    // Help: F1 on the focused control, or the caption's help button and a click.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this,
            [this] { RunReported([this] { ShowHelpFor(QApplication::focusWidget()); }); });
    qApp->installEventFilter(this);
}

bool TOptionsForm::eventFilter(QObject* watched, QEvent* event) {
    return HelpEvent(watched, event) || WallpaperListKey(watched, event) ||
           QWidget::eventFilter(watched, event);
}

bool TOptionsForm::WallpaperListKey(QObject* watched, QEvent* event) {
    if (watched != WallpaperList || event->type() != QEvent::KeyPress || forwardingListKey_)
        return false;
    const int before = WallpaperList->currentRow();
    forwardingListKey_ = true;
    QCoreApplication::sendEvent(WallpaperList, event);
    forwardingListKey_ = false;
    if (WallpaperList->currentRow() != before)
        RunReported([this] { WallpaperListClick(); });
    return true;
}

void TOptionsForm::FocusChanged(QWidget*, QWidget* to) {
    if (!to || to->window() != this)
        return;
    const QPointer<QWidget> from = std::exchange(lastFocus_, to);
    if (IsInside(to, TabSheet4) && !IsInside(from, TabSheet4))
        RunReported([this] { TabSheet4Enter(); });
    if (to == WMHeight && from != WMHeight)
        RunReported([this] { WMHeightEnter(); });
}

void TOptionsForm::FormCreate() {
    PlaceOnScreen();
    if (start_.lowerThreadPriority)
        start_.lowerThreadPriority();
    else
        platform::SetCurrentThreadIdlePriority();
    ProgramFolder = FolderOfProgram(platform::ProgramFilePath());
    LoadSettings();
    helpFile_ = ProgramFolder + "NIMBREL.HLP";
    SelectFirstPage();
    CountNWPFiles();
}

// The outer size is the client area plus the frame the window system gives the window.
void TOptionsForm::PlaceOnScreen() {
    winId(); // the native window, so that its frame is known
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize outer(ClientWidth + frame.left() + frame.right(),
                      ClientHeight + frame.top() + frame.bottom());
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    move(DialogPlacement(screen->geometry().size(), outer));
}

void TOptionsForm::SelectFirstPage() {
    if (start_.arguments.empty())
        return;
    if (QWidget* first = PageForSwitch(*this, start_.arguments.front()))
        Page->setCurrentWidget(first);
}

void TOptionsForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A restore by the window system is no new showing of the dialog.
    if (!event->spontaneous())
        RunReported([this] { FormShow(); });
}

void TOptionsForm::FormShow() {
    IdleTimeTrackBarChange();
    ScreenSaverTrackBarChange();
    FillWallPapers();
}

void TOptionsForm::Button5Click() {
    SaveSettings();
    close();
}

void TOptionsForm::Button3Click() {
    close();
}

} // namespace nimbrel
