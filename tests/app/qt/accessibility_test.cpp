// The dialog as a screen-reader user meets it, through Qt's accessibility interface: every
// control that takes the focus has a name that says what it is, each label is tied to its
// control, the track bars speak their unit and the folder lines their path.
#include "dialog_fixture.h"

#include "controls/qt/peer.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QLabel>
#include <QTabBar>
#include <QWidget>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

using namespace nimbrel;
using namespace nimbrel::test;

namespace {

QWidget& WindowOf(TOptionsForm& form) {
    return *dynamic_cast<QWidget*>(form.Peer());
}

std::string Spoken(QWidget* widget, QAccessible::Text which) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(which).toStdString() : std::string("<no interface>");
}

TEST(QtAccessibility, EveryFocusableControlSaysWhatItIs) {
    const std::map<std::string, std::string> names = {
        {"Page", "Wallpaper"}, // the tab bar says the page it shows
        {"IdleTimeTrackBar", "Wallpaper image change interval:"},
        {"Drive", "Wallpaper folder drive"},
        {"Folder", "Wallpaper folder"},
        {"WallpaperList", "Wallpapers:"},
        {"Button2", "Set as next"},
        {"Button1", "Change to"},
        {"AutoLoad", "Launch Nimbrel on Startup"},
        {"ExitOnChange", "Exit after wallpaper change"},
        {"ScreenSaverTrackBar", "Screen saver image change interval:"},
        {"UseAccessKey", "Protect sceen saver with Access Key and Password"},
        {"AKShift", "Access Key: Shift, Ctrl or Alt"},
        {"AKCode", "Access Key: letter"},
        {"AKTimes", "If wrong Access Key is pressed for so many times, ask for password"},
        {"AKPassword", "Password"},
        {"AKPassword2", "Retype password"},
        {"OtherSS", "Auto install Nimbrel Screen Saver"},
        {"WMFit", "Fit to screen"},
        {"WMOrg", "Original size"},
        {"WMRes", "Resize to:"},
        {"WMWidth", "Resize to: width in pixels"},
        {"WMHeight", "Resize to: height in pixels"},
        {"WMPosition", "Position:"},
        {"SSFit", "Fit to screen"},
        {"SSOrg", "Original size"},
        {"Button4", "Convert"},
        {"Button6", "Delete"},
        {"Button5", "OK"},
        {"Button3", "Cancel"},
    };
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    QWidget& window = WindowOf(form);
    std::set<std::string> met;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        // The tab bar's scroll buttons are its own parts, shown only when its tabs overflow.
        if (widget->window() != &window || (widget->focusPolicy() & Qt::TabFocus) == 0 ||
            widget->focusProxy() != nullptr || qobject_cast<QTabBar*>(widget->parentWidget()))
            continue;
        const TControl* control = qt::ControlOfWidget(widget);
        ASSERT_NE(control, nullptr) << widget->metaObject()->className();
        SCOPED_TRACE(control->Name());
        const auto expected = names.find(control->Name());
        ASSERT_NE(expected, names.end()) << "a focusable control without a name to check";
        EXPECT_EQ(Spoken(widget, QAccessible::Name), expected->second);
        met.insert(control->Name());
    }
    EXPECT_EQ(met.size(), names.size());
}

// A label beside a control is tied to it (a label shared by two controls to the first); a
// screen reader finds the tie among the control's relations. (Qt's faces of the lists keep
// no relations: they are named by the label instead.)
TEST(QtAccessibility, LabelsAreTiedToTheirControls) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    QWidget& window = WindowOf(form);
    std::set<std::string> labels;
    int related = 0;
    for (const TLayoutRow& row : form.Layout()) {
        if (row.LabelledBy == nullptr)
            continue;
        const TLayoutRow* label = FindRow(form.Layout(), row.LabelledBy);
        if (label == nullptr || label->Kind != TControlKind::Label ||
            !labels.insert(label->Name).second)
            continue;
        SCOPED_TRACE(row.Name);
        QWidget* control = window.findChild<QWidget*>(row.Name);
        auto* labelWidget = window.findChild<QLabel*>(row.LabelledBy);
        ASSERT_TRUE(control && labelWidget);
        EXPECT_EQ(labelWidget->buddy(), control);
        if (qobject_cast<QAbstractItemView*>(control) != nullptr)
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(control);
        bool found = false;
        for (const auto& [other, relation] : face->relations(QAccessible::Label))
            found = found || other->object() == labelWidget;
        EXPECT_TRUE(found);
        ++related;
    }
    EXPECT_GE(labels.size(), 9u);
    EXPECT_GE(related, 7);
}

// The track bars say their position with its unit, also after the user moved them.
TEST(QtAccessibility, TrackBarsSpeakTheirUnit) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    TDialogDriver& driver = fixture.Driver();
    QWidget& window = WindowOf(form);
    QWidget* wallpaper = window.findChild<QWidget*>("IdleTimeTrackBar");
    QWidget* saver = window.findChild<QWidget*>("ScreenSaverTrackBar");
    EXPECT_EQ(Spoken(wallpaper, QAccessible::Value), "60 minutes");
    EXPECT_EQ(Spoken(saver, QAccessible::Value), "30 seconds");
    // A drop-down list tells its item as its value, not as its name.
    EXPECT_EQ(Spoken(window.findChild<QWidget*>("Drive"), QAccessible::Value), "C:");
    driver.Key("IdleTimeTrackBar", VkHome);
    EXPECT_EQ(Spoken(wallpaper, QAccessible::Value), "1 minutes");
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(saver);
    ASSERT_NE(face->valueInterface(), nullptr);
    EXPECT_EQ(face->valueInterface()->currentValue().toInt(), 30);
    EXPECT_EQ(face->valueInterface()->maximumValue().toInt(), 300);
    // A value set by an assistive tool is a move by the user: the label follows.
    face->valueInterface()->setCurrentValue(45);
    EXPECT_EQ(driver.Text("SSIdleTime"), "45sec");
}

void CollectNames(QAccessibleInterface* face, int depth, std::set<std::string>& names) {
    if (face == nullptr || depth > 3)
        return;
    names.insert(face->text(QAccessible::Name).toStdString());
    for (int i = 0; i < face->childCount(); ++i)
        CollectNames(face->child(i), depth + 1, names);
}

// The folder list's lines say their whole path, so that their depth is heard.
TEST(QtAccessibility, FolderLinesSayTheirPath) {
    TDialogFixture fixture;
    TOptionsForm& form = fixture.Open();
    std::set<std::string> names;
    CollectNames(
        QAccessible::queryAccessibleInterface(WindowOf(form).findChild<QWidget*>("Folder")), 0,
        names);
    EXPECT_TRUE(names.contains("C:\\")) << ::testing::PrintToString(names);
    EXPECT_TRUE(names.contains("C:\\pics")) << ::testing::PrintToString(names);
}

} // namespace
