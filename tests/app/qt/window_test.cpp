// The Qt dialog window as a window system shows it: where it is placed, its frame, the
// exact captions, the help pop-up and the font its labels are drawn in.
#include "dialog_fixture.h"

#include "app/help_texts.h"
#include "controls/qt/folders.h"
#include "controls/qt/product_icon.h"
#include "controls/qt/text.h"
#include "controls/toolkit.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <string>

using namespace nimbrel;
using namespace nimbrel::test;

namespace {

QWidget& WindowOf(TOptionsForm& form) {
    auto* window = dynamic_cast<QWidget*>(form.Peer());
    if (window == nullptr)
        throw std::logic_error("the dialog has no Qt window");
    return *window;
}

// The offscreen screen is 800 x 600 and gives windows a frame: the formula takes the outer
// size with it, and the frame's corner lands there.
TEST(QtWindow, PlacedByItsOuterFrame) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    QWidget& window = WindowOf(form);
    fixture.SettleFor(std::chrono::milliseconds(50));
    const QRect frame = window.frameGeometry();
    ASSERT_GT(frame.width(), window.width());
    ASSERT_GT(frame.height(), window.height());
    const TPoint expected = DialogPlacement({800, 600}, {frame.width(), frame.height()});
    EXPECT_EQ(frame.x(), expected.X);
    EXPECT_EQ(frame.y(), expected.Y);
}

// A single fixed frame: the system menu with the close box and the help button, and neither
// a minimise nor a maximise button.
TEST(QtWindow, FixedFrameWithoutMinimiseOrMaximise) {
    TDialogFixture fixture;
    QWidget& window = WindowOf(fixture.Open());
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_FALSE(flags.testAnyFlags(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint)); // no button but the ones asked for
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowContextHelpButtonHint));
    EXPECT_EQ(window.minimumSize(), QSize(440, 262));
    EXPECT_EQ(window.maximumSize(), QSize(440, 262));
}

// Qt appends an application display name to every window title where one is set; none is,
// so the message box's caption is the dialog's text alone.
TEST(QtWindow, MessageBoxCaptionIsExactlyItsText) {
    TDialogFixture fixture;
    fixture.Open();
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    QString title;
    QString windowTitle;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            windowTitle = box->windowHandle() ? box->windowHandle()->title() : QString();
            box->accept();
        }
    });
    Toolkit().ShowMessageBox({"Error setting Access Key", "text", TMessageIcon::None});
    EXPECT_EQ(title.toStdString(), "Error setting Access Key");
    EXPECT_EQ(windowTitle.toStdString(), "Error setting Access Key");
    EXPECT_EQ(WindowOf(fixture.Form()).windowHandle()->title().toStdString(), "Nimbrel Extensions");
}

QWidget* VisibleHelpPopup() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("HelpPopup") && widget->isVisible())
            return widget;
    }
    return nullptr;
}

std::string ShownText(std::string text) {
    for (char& c : text) {
        if (c == '\r')
            c = '\n';
    }
    return text;
}

// Off Windows the pop-up is our own: beside the control whose number is used, with what
// that control does and the help file and topic on its last line; a key takes it away.
TEST(QtWindow, HelpPopupBesideTheControlWithItsText) {
    const struct {
        const char* control;
        bool byKey; // F1, else the help button and a click
        int context;
        const char* holder;
    } cases[] = {{"IdleTimeTrackBar", true, 2001, "IdleTimeTrackBar"},
                 {"WallpaperList", false, 2003, "WallpaperList"},
                 {"AKTimes", false, 2104, "AKTimes"},
                 {"Folder", true, 2002, "Folder"}};
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    TDialogDriver& driver = fixture.Driver();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.control);
        const TControl* control = form.FindControl(c.control);
        form.Page->SetActivePage(control->IsInside(form.TabSheet2) ? form.TabSheet2
                                                                   : form.TabSheet1);
        if (c.byKey) {
            driver.Focus(c.control);
            driver.Key(c.control, VkF1);
        } else {
            driver.AskHelp(c.control, {3, 3});
        }
        QWidget* popup = VisibleHelpPopup();
        ASSERT_NE(popup, nullptr);
        const TPoint corner = form.FindControl(c.holder)->ScreenOrigin();
        EXPECT_EQ(popup->pos(), QPoint(corner.X, corner.Y));
        const std::string text = qobject_cast<QLabel*>(popup)->text().toStdString();
        const std::string topic = ShownText(std::string(HelpTopicText(c.context)));
        ASSERT_FALSE(topic.empty());
        EXPECT_EQ(text, topic + "\n" + form.HelpFile() + ", topic " + std::to_string(c.context));
        driver.Key(c.control, VkEscape);
        EXPECT_EQ(VisibleHelpPopup(), nullptr);
    }
    // Near the screen's edge the pop-up stays whole on the screen.
    driver.Focus("Button3");
    driver.Key("Button3", VkF1);
    QWidget* popup = VisibleHelpPopup();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(QRect(0, 0, 800, 600).contains(popup->geometry()));
}

// Every label is drawn in the dialog's face and ends before the control to its right.
TEST(QtWindow, EveryLabelFitsBesideItsField) {
    EXPECT_EQ(QApplication::font().family().toStdString(), "MS Sans Serif");
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    QWidget& window = WindowOf(form);
    int labels = 0;
    for (const TLayoutRow& row : form.Layout()) {
        if (row.Kind != TControlKind::Label || (row.Style & lsWordWrap) != 0)
            continue;
        auto* label = window.findChild<QLabel*>(QString::fromLatin1(row.Name));
        ASSERT_NE(label, nullptr) << row.Name;
        ++labels;
        const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
        EXPECT_LE(textWidth, label->width()) << row.Name;
        const int textRight = (row.Style & lsAlignRight) != 0 ? label->geometry().right()
                                                              : label->x() + textWidth - 1;
        for (QObject* object : label->parentWidget()->children()) {
            auto* other = qobject_cast<QWidget*>(object);
            if (other == nullptr || other == label || qobject_cast<QLabel*>(other) != nullptr ||
                other->isWindow())
                continue;
            const QRect rect = other->geometry();
            const bool beside = rect.top() < label->geometry().bottom() &&
                                rect.bottom() > label->geometry().top() && rect.x() > label->x();
            if (beside) {
                EXPECT_LT(textRight + 1, rect.x())
                    << row.Name << " touches " << other->objectName().toStdString();
            }
        }
    }
    EXPECT_GE(labels, 12);
}

// The same pixels, whichever way the pixmaps were made.
QImage Pixels(const QPixmap& pixmap) {
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The window's icon is drawn only when asked for, and then as the installed icon files
// are: the same picture at each of its sizes, and the nearest one scaled for the others.
TEST(QtWindow, IconIsTheProductPictureAtEachSize) {
    TDialogFixture fixture;
    const QIcon icon = WindowOf(fixture.Open()).windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        EXPECT_EQ(Pixels(icon.pixmap(size, size)),
                  Pixels(QPixmap::fromImage(qt::DrawProductIcon(size))));
    }
    QIcon drawnAtOnce;
    for (int size : {16, 32, 48})
        drawnAtOnce.addPixmap(QPixmap::fromImage(qt::DrawProductIcon(size)));
    EXPECT_EQ(Pixels(icon.pixmap(24, 24)), Pixels(drawnAtOnce.pixmap(24, 24)));
    EXPECT_EQ(Pixels(icon.pixmap(16, 16, QIcon::Disabled)),
              Pixels(drawnAtOnce.pixmap(16, 16, QIcon::Disabled)));
}

// The folder lines show the style's own folder pictures, read without asking the image
// plugins, in every state a line is drawn in.
TEST(QtWindow, FolderLinesShowTheStylesFolderPictures) {
    TDialogFixture fixture;
    QWidget& window = WindowOf(fixture.Open());
    const QStyle& style = *window.style();
    const struct {
        QIcon ours;
        QStyle::StandardPixmap style;
    } cases[] = {{qt::FolderOpenIcon(style), QStyle::SP_DirOpenIcon},
                 {qt::FolderClosedIcon(style), QStyle::SP_DirClosedIcon}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.style));
        const QIcon styles = style.standardIcon(c.style);
        EXPECT_EQ(c.ours.availableSizes(), styles.availableSizes());
        for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled, QIcon::Selected})
            EXPECT_EQ(Pixels(c.ours.pixmap(16, 16, mode)), Pixels(styles.pixmap(16, 16, mode)));
    }
    auto* folders = window.findChild<QListWidget*>(QStringLiteral("Folder"));
    ASSERT_NE(folders, nullptr);
    ASSERT_GE(folders->count(), 2);
    EXPECT_EQ(Pixels(folders->item(0)->icon().pixmap(16, 16)),
              Pixels(style.standardIcon(QStyle::SP_DirOpenIcon).pixmap(16, 16)));
}

} // namespace
